#pragma once
// The order window against a kav-server hosted in the test, one per test, over a database seeded once
// per backend and binary (SQLite always, PostgreSQL when KAV_TEST_PG is set) in the shape of the demo:
// its users, groups, rights, performances and hand-made orders D0000001..D0000010, and a few hundred
// generated orders. The order handler package reaches the server through the shared connection (ORB)
// and a recording pipe, its files live in a temporary folder, prints go into a folder, and message
// boxes are answered by the test's script (dialogs).

#include "dialogs/dialogresponder.h"
#include "fakesalecore.h"
#include "orderhandler/uiorderhandler.h"
#include "platform/widgets/modaldialog.h"
#include "recordingpipe.h"
#include "rpc/pelioserver.h"
#include "server/db/database.h"
#include "server/serverservices.h"
#include "services/dbpipe/tpdbpipe.h"

#include <QTemporaryDir>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>

namespace kav::orderhandler::test {

class OrderWindowTest : public ::testing::TestWithParam<server::Backend> {
protected:
    void SetUp() override;
    void TearDown() override;

    // The signed context of a login through the server.
    std::string LoginAs(const std::string& user, const std::string& password);
    // The window, created and handed the context of `user`, as the snap-in's Execute does.
    TUIOrderHandler& OpenWindow(const std::string& user = "demo", const std::string& password = "demo");
    // The test's own connection, for preparing and checking rows.
    server::Connection& Db();
    // A code of an order that matches `where` (columns of KAV_ORDER_SHOW o), in code order.
    std::string OrderWhere(const std::string& where);
    std::string Text(const std::string& sql);

    const server::ServerServices& Services() const { return *services_; }
    std::filesystem::path Folder() const { return folder_.path().toStdString(); }
    std::filesystem::path PrintFolder() const { return Folder() / "printouts"; }
    std::size_t PipeCalls() const { return pipe_->sent.size(); }
    // The last order search sent (exact or detail); empty before the first.
    std::string LastSql() const;

    std::unique_ptr<TUIOrderHandler> window_;
    FakeSaleCore saleCore_;
    std::optional<ScriptedDialogResponder> dialogs_;

private:
    QTemporaryDir folder_;
    std::optional<server::ServerServices> services_;
    std::optional<pelio::TPelioServer> server_;
    std::optional<TTPDBPipe> proxy_;
    std::optional<RecordingPipe> pipe_;
};

// Answers our modal dialogs with `answer` for as long as it lives.
class ModalAnswers final {
public:
    explicit ModalAnswers(TModalDialogHook answer) { previous_ = SetModalDialogHook(std::move(answer)); }
    ~ModalAnswers() { SetModalDialogHook(previous_); }
    ModalAnswers(const ModalAnswers&) = delete;
    ModalAnswers& operator=(const ModalAnswers&) = delete;

private:
    TModalDialogHook previous_;
};

// Widgets of the window by object name.
template <class W> W& Find(QWidget& parent, const char* name) {
    W* found = parent.findChild<W*>(QLatin1String(name));
    if (!found) throw std::logic_error(std::string("no widget ") + name);
    return *found;
}

} // namespace kav::orderhandler::test
