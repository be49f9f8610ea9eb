#include "dialogs/dialog_support.h"

#include <QtGlobal>

#include <exception>
#include <string>

#include "control/shared_state.h"
#include "forms/uiservice.h"
#include "help/help_viewer.h"
#include "kelmor/error.h"

namespace zonitra::dialogs {
namespace {

constexpr std::int32_t kUnspecifiedError = static_cast<std::int32_t>(0x80004005U);
constexpr std::int16_t kRightButton = 2;

std::int32_t NumberOf(const std::exception_ptr& failure) noexcept {
    try {
        std::rethrow_exception(failure);
    } catch (const kelmor::Error& error) {
        return error.number();
    } catch (...) {
        return kUnspecifiedError;
    }
}

// What is passed over still reaches the warning log, so that bad data is
// noticed by the people who keep the database; the operator sees nothing.
void LogPassedOver(std::string_view where, const std::exception_ptr& failure) noexcept {
    std::string what = "failure of unknown type";
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& error) {
        what = error.what();
    } catch (...) {
    }
    qWarning("%.*s: step passed over after error 0x%08X: %s", static_cast<int>(where.size()),
             where.data(), static_cast<unsigned>(NumberOf(failure)), what.c_str());
}

}  // namespace

int Message(const QString& text, int style) {
    return forms::Ui().MsgBox(text, style, QString::fromLatin1(kMessageTitle));
}

std::int32_t Resumed(std::string_view where, const std::function<void()>& call) noexcept {
    try {
        call();
        return 0;
    } catch (...) {
        const std::exception_ptr failure = std::current_exception();
        const std::int32_t number = NumberOf(failure);
        if (number != kelmor::kNotFound) LogPassedOver(where, failure);
        return number;
    }
}

void ResumeSteps(std::string_view where,
                 std::initializer_list<std::function<void()>> steps) noexcept {
    for (const auto& step : steps) {
        try {
            step();
        } catch (...) {
            LogPassedOver(where, std::current_exception());
        }
    }
}

HelpMenu AddHelpMenu(forms::Form& dialog) {
    HelpMenu menu;
    menu.Mnu_Aide =
        new forms::PopupMenu(QStringLiteral("Mnu_Aide"), QStringLiteral("Aide"), &dialog);
    menu.Mnu_Sommaire =
        menu.Mnu_Aide->AddEntry(QStringLiteral("Mnu_Sommaire"), QStringLiteral("Aide_ORVANIS"));
    return menu;
}

void PopupHelpMenu(const HelpMenu& menu, std::int16_t button) {
    if (button != kRightButton) return;
    menu.Mnu_Aide->setEnabled(true);
    menu.Mnu_Sommaire->setEnabled(true);
    menu.Mnu_Aide->Popup();
}

void ShowHelpTopic(SharedState& state, const QString& page, const QString& letter,
                   const QString& title) {
    help::HelpViewer& viewer = state.Help();
    // Handed again at every request: the host may have replaced them meanwhile.
    viewer.SetClient(state.client);
    viewer.SetDatabase(state.database);
    viewer.ShowTopic(page, letter, title, QString());
}

}  // namespace zonitra::dialogs
