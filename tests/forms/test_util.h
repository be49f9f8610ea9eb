#pragma once

#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "forms/button.h"
#include "forms/combobox.h"
#include "forms/form.h"
#include "forms/frame.h"
#include "forms/scripteduiservice.h"
#include "forms/textbox.h"

// Failures show texts as text.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace forms_test {

// Events as handlers saw them, in order: "Lost:Txt_A", "Got:Txt_B", "Enter:Ctr_Test", ...
using EventLog = std::vector<std::string>;

inline std::string NameOf(const QObject* object) {
    return object->objectName().toStdString();
}

template <class Control>
Control* Named(Control* control, const char* name, QRect geometry = {}) {
    control->setObjectName(QString::fromLatin1(name));
    if (geometry.isValid()) control->setGeometry(geometry);
    return control;
}

template <class... Control>
void WatchFocus(EventLog& log, Control*... controls) {
    auto watch = [&log](auto* c) {
        c->GotFocus = [c, &log] { log.push_back("Got:" + NameOf(c)); };
        c->LostFocus = [c, &log] { log.push_back("Lost:" + NameOf(c)); };
    };
    (watch(controls), ...);
}

template <class Predicate>
::testing::AssertionResult Eventually(Predicate predicate, const char* what) {
    if (QTest::qWaitFor(predicate)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "timed out waiting for " << what;
}

inline void ClickInto(QWidget* widget) {
    QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
}

// A host window with a field of its own and a component form: a frame holding a code, a
// list and a field, another field and a button; message boxes answered by script. The tab
// order differs from the creation order on purpose. Txt_Code has the focus, the log is empty.
class FormsTest : public ::testing::Test {
public:
    void SetUp() override {
        host_ = std::make_unique<QWidget>();
        Named(host_.get(), "Host", {0, 0, 500, 400});
        sibling_ = Named(new forms::TextBox(host_.get()), "Txt_Host", {10, 360, 100, 24});
        form_ = Named(new forms::Form(host_.get()), "Ctr_Test", {0, 0, 500, 340});
        frame_ = Named(new forms::Frame("Cadre", form_), "Cdr_Cadre", {0, 0, 500, 150});
        code_ = Named(new forms::TextBox(frame_), "Txt_Code", {10, 30, 80, 24});
        list_ = Named(new forms::ComboBox(frame_), "Cbo_Lib", {100, 30, 250, 26});
        inner_ = Named(new forms::TextBox(frame_), "Txt_Inner", {10, 80, 80, 24});
        other_ = Named(new forms::TextBox(form_), "Txt_Other", {10, 200, 80, 24});
        ok_ = Named(new forms::Button("OK", form_), "Cmd_Ok", {10, 260, 80, 30});
        const std::pair<QWidget*, int> tabs[] = {
            {code_, 0}, {list_, 1}, {other_, 2}, {ok_, 14}, {inner_, 5}};
        for (const auto& [control, index] : tabs) form_->SetTabIndex(control, index);
        for (const char* item : {"NORD", "SUD", "EST", "OUEST"}) list_->AddItem(item);
        host_->show();
        host_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(host_.get())) << "the host is not active";
        forms::SetFocus(code_);
        ASSERT_TRUE(Eventually([&] { return forms::FocusedControl() == code_; }, "Txt_Code"));
    }

    void WatchAllFocus() {
        WatchFocus(log_, code_, list_, inner_, other_, ok_);
        form_->EnterFocus = [this] { log_.push_back("Enter:Ctr_Test"); };
    }

    // Each Change of control as "Name=text".
    template <class Control>
    void LogChanges(Control* control) {
        control->Change = [this, control] {
            log_.push_back(NameOf(control) + "=" + control->Text().toStdString());
        };
    }

    forms::ScriptedUiService ui_;
    forms::ScopedUi scope_{ui_};
    std::unique_ptr<QWidget> host_;
    forms::TextBox* sibling_ = nullptr;
    forms::Form* form_ = nullptr;
    forms::Frame* frame_ = nullptr;
    forms::TextBox* code_ = nullptr;
    forms::ComboBox* list_ = nullptr;
    forms::TextBox* inner_ = nullptr;
    forms::TextBox* other_ = nullptr;
    forms::Button* ok_ = nullptr;
    EventLog log_;
};

}  // namespace forms_test
