#include "serverprocess.h"

#include <csignal>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace kav::server::e2e {

ServerProcess::ServerProcess(std::vector<std::string> arguments) {
    int out[2], err[2];
    if (pipe(out) != 0 || pipe(err) != 0) throw std::runtime_error("pipe");
    std::vector<char*> argv{const_cast<char*>("kav-server")};
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_ = fork();
    if (pid_ == 0) {
        dup2(out[1], STDOUT_FILENO);
        dup2(err[1], STDERR_FILENO);
        execv("./kav-server", argv.data());
        _exit(127);
    }
    close(out[1]);
    close(err[1]);
    output_ = fdopen(out[0], "r");
    errors_ = fdopen(err[0], "r");
}

ServerProcess::~ServerProcess() {
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    fclose(output_);
    fclose(errors_);
}

bool ServerProcess::WaitForLog(const std::string& text) {
    for (std::string line = ReadLine(errors_); !line.empty(); line = ReadLine(errors_))
        if (line.find(text) != std::string::npos) return true;
    return false;
}

void ServerProcess::Signal(int number) {
    kill(pid_, number);
}

int ServerProcess::Wait() {
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = 0;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string ServerProcess::ReadLine(FILE* file) {
    char line[1024] = {};
    return fgets(line, sizeof line, file) ? line : "";
}

int ListeningPortOf(const std::string& line) {
    int port = 0;
    return sscanf(line.c_str(), "kav-server listening on %d", &port) == 1 ? port : 0;
}

} // namespace kav::server::e2e
