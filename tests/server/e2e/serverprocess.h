#pragma once
// kav-server as a child process (./kav-server, beside the test programs), with its standard output
// and its log read line by line. The destructor kills a process still running.

#include <cstdio>
#include <string>
#include <sys/types.h>
#include <vector>

namespace kav::server::e2e {

class ServerProcess {
public:
    explicit ServerProcess(std::vector<std::string> arguments);
    ~ServerProcess();
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    // The next line of standard output; empty once it has ended.
    std::string OutputLine() { return ReadLine(output_); }
    // Reads the log until a line holding `text`; false when the log ends first.
    bool WaitForLog(const std::string& text);
    void Signal(int number);
    // The exit status; -1 when the process did not exit by itself.
    int Wait();

private:
    static std::string ReadLine(FILE* file);

    pid_t pid_ = 0;
    FILE* output_ = nullptr;
    FILE* errors_ = nullptr;
};

// The port of the line "kav-server listening on PORT"; 0 for any other line.
int ListeningPortOf(const std::string& line);

} // namespace kav::server::e2e
