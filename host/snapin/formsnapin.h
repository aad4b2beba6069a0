#pragma once
// TKavFormSnapIn<Form>: the usual snap-in of one window. Execute creates the window once (Form must be a
// QWidget with a default constructor), hands the stored context to the window's TKavCSnapIn, when it has
// one, and shows it with ShowFormInRootWindow; Shutdown and the destructor free it.
//
// The window is held by a QPointer, so a window destroyed by someone else (its docking place going away
// first) is seen as gone rather than freed twice.

#include "host/snapin/clientsnapin.h"
#include "host/snapin/kavcsnapin.h"
#include "host/snapin/rootwindow.h"

#include <QPointer>
#include <QWidget>
#include <string>

namespace kav {

template <class Form> class TKavFormSnapIn : public IKavClientSnapIn {
public:
    TKavFormSnapIn() = default;
    ~TKavFormSnapIn() override { Shutdown(); }
    TKavFormSnapIn(const TKavFormSnapIn&) = delete;
    TKavFormSnapIn& operator=(const TKavFormSnapIn&) = delete;

    void SetContext(const std::string& Text) override { context_ = Text; }

    void Execute() override {
        if (!form_) form_ = new Form;
        if (auto* component = form_->template findChild<TKavCSnapIn*>()) component->SetContext(context_);
        ShowFormInRootWindow(form_.data());
    }

    void Shutdown() override { delete form_.data(); }

    Form* Window() const noexcept { return form_.data(); }

private:
    std::string context_;
    QPointer<Form> form_;
};

} // namespace kav
