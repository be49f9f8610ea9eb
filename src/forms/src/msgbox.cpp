#include "forms/msgbox.h"

#include <stdexcept>
#include <string>

namespace forms {
namespace {

struct AnswerInfo {
    int answer;
    const char16_t* caption;
    const char* word;
};

constexpr AnswerInfo kAnswers[] = {
    {vbOK, u"OK", "OK"},
    {vbCancel, u"Annuler", "Cancel"},
    {vbAbort, u"Abandonner", "Abort"},
    {vbRetry, u"Réessayer", "Retry"},
    {vbIgnore, u"Ignorer", "Ignore"},
    {vbYes, u"Oui", "Yes"},
    {vbNo, u"Non", "No"},
    {vbTryAgain, u"Réessayer", "TryAgain"},
    {vbContinue, u"Continuer", "Continue"},
};

const AnswerInfo& InfoOf(int answer) {
    for (const AnswerInfo& info : kAnswers) {
        if (info.answer == answer) return info;
    }
    throw std::invalid_argument("unknown message box answer " + std::to_string(answer));
}

}  // namespace

std::vector<int> ButtonsOf(int style) {
    switch (style & 7) {
        case vbOKOnly:
            return {vbOK};
        case vbOKCancel:
            return {vbOK, vbCancel};
        case vbAbortRetryIgnore:
            return {vbAbort, vbRetry, vbIgnore};
        case vbYesNoCancel:
            return {vbYes, vbNo, vbCancel};
        case vbYesNo:
            return {vbYes, vbNo};
        case vbRetryCancel:
            return {vbRetry, vbCancel};
        case vbCancelTryContinue:
            return {vbCancel, vbTryAgain, vbContinue};
        default:
            throw std::invalid_argument("message box style " + std::to_string(style) +
                                        ": unknown buttons value " + std::to_string(style & 7));
    }
}

int IconOf(int style) {
    const int icon = style & 0x70;
    if (icon != 0 && icon != vbCritical && icon != vbQuestion && icon != vbExclamation &&
        icon != vbInformation) {
        throw std::invalid_argument("message box style " + std::to_string(style) +
                                    ": unknown icon value " + std::to_string(icon));
    }
    return icon;
}

QString IconName(int icon) {
    switch (icon) {
        case vbCritical:
            return QStringLiteral("critical");
        case vbQuestion:
            return QStringLiteral("question");
        case vbExclamation:
            return QStringLiteral("exclamation");
        case vbInformation:
            return QStringLiteral("information");
        default:
            return {};
    }
}

int DefaultButtonOf(int style) {
    const int wanted = (style & 0x300) >> 8;
    const int count = static_cast<int>(ButtonsOf(style).size());
    return wanted < count ? wanted : 0;
}

QString ButtonCaption(int answer) {
    return QString::fromUtf16(InfoOf(answer).caption);
}

QString AnswerWord(int answer) {
    return QString::fromLatin1(InfoOf(answer).word);
}

std::optional<int> AnswerFromWord(const QString& word) {
    for (const AnswerInfo& info : kAnswers) {
        if (word.compare(QLatin1String(info.word), Qt::CaseInsensitive) == 0) return info.answer;
    }
    return std::nullopt;
}

}  // namespace forms
