#pragma once
// A data pipe for the order handler's tests: forwards to a real pipe and keeps every statement sent,
// so a test can count the requests and read their SQL; ExecSQL answers can be overridden.

#include "services/dbpipe/tpdbpipe_int.h"

#include <optional>
#include <string>
#include <vector>

namespace kav::orderhandler::test {

class RecordingPipe : public ITPDBPipe {
public:
    explicit RecordingPipe(ITPDBPipe& pipe) : pipe_(pipe) {}

    Variant GetData(const std::string& context, const std::string& sql) override {
        sent.push_back(sql);
        return pipe_.GetData(context, sql);
    }
    Variant GetMasterDetailData(const std::string& context, const std::string& master, const std::string& name,
                                const std::string& detail) override {
        sent.push_back(master);
        sent.push_back(detail);
        return pipe_.GetMasterDetailData(context, master, name, detail);
    }
    std::int32_t ExecSQL(const std::string& context, const std::string& sql) override {
        sent.push_back(sql);
        return execAnswer ? *execAnswer : pipe_.ExecSQL(context, sql);
    }

    std::vector<std::string> sent;
    std::optional<std::int32_t> execAnswer;

private:
    ITPDBPipe& pipe_;
};

} // namespace kav::orderhandler::test
