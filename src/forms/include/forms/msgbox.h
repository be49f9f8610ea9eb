#pragma once

#include <QString>

#include <optional>
#include <vector>

namespace forms {

// Message box style values: buttons (style & 7) + icon (style & 0x70) + default button
// (style & 0x300).
inline constexpr int vbOKOnly = 0;
inline constexpr int vbOKCancel = 1;
inline constexpr int vbAbortRetryIgnore = 2;
inline constexpr int vbYesNoCancel = 3;
inline constexpr int vbYesNo = 4;
inline constexpr int vbRetryCancel = 5;
inline constexpr int vbCancelTryContinue = 6;
inline constexpr int vbCritical = 16;
inline constexpr int vbQuestion = 32;
inline constexpr int vbExclamation = 48;
inline constexpr int vbInformation = 64;
inline constexpr int vbDefaultButton1 = 0;
inline constexpr int vbDefaultButton2 = 256;
inline constexpr int vbDefaultButton3 = 512;

// Answers.
inline constexpr int vbOK = 1;
inline constexpr int vbCancel = 2;
inline constexpr int vbAbort = 3;
inline constexpr int vbRetry = 4;
inline constexpr int vbIgnore = 5;
inline constexpr int vbYes = 6;
inline constexpr int vbNo = 7;
inline constexpr int vbTryAgain = 10;
inline constexpr int vbContinue = 11;

// The answers of the buttons of style, left to right. Throws std::invalid_argument for
// button values 7 and above.
std::vector<int> ButtonsOf(int style);
// 0, 16, 32, 48 or 64. Throws std::invalid_argument for other icon bits.
int IconOf(int style);
// "", "critical", "question", "exclamation", "information".
QString IconName(int icon);
// Index (0-based) of the default button of style, within ButtonsOf(style) (clamped).
int DefaultButtonOf(int style);

// The French caption of an answer's button as the operator's system shows it: "OK",
// "Annuler", "Abandonner", "Réessayer", "Ignorer", "Oui", "Non", "Continuer". Retry and Try
// Again share "Réessayer" (they never appear in the same box). Throws
// std::invalid_argument for an unknown answer.
QString ButtonCaption(int answer);
// Script word of an answer: OK, Cancel, Abort, Retry, Ignore, Yes, No, TryAgain, Continue.
QString AnswerWord(int answer);
// The answer of a script word (case-insensitive), or nothing.
std::optional<int> AnswerFromWord(const QString& word);

// What a message box showed and what it answered.
struct MessageRecord {
    QString text;
    QString title;
    int style = 0;
    int icon = 0;
    std::vector<int> buttons;
    int answer = 0;
    // No answer was queued: the first button was taken.
    bool unanswered = false;
    // A queued answer that is not a button of this box; the first button was taken.
    QString problem;
};

}  // namespace forms
