#pragma once
// The code text box and the drop-down list of labels that every level shows
// side by side, and what they do alike at every level: a code is looked up
// once it has its full length (by the level's own code Change handler); Enter
// or leaving the code completes a shorter one with leading "0"; choosing a
// label puts its record's code into the code box, whose Change shows it;
// emptying the label empties the code; labels are kept in upper case. Filling
// and emptying the pair are the first steps of each level's Remplir and Vider.
//
// The pair holds no state of its own: the list and current record of a level
// live in SharedState, where the dialogs see them too.

#include <QString>

#include <cstdint>
#include <optional>
#include <string_view>

#include "control/resume.h"
#include "forms/combobox.h"
#include "forms/textbox.h"
#include "kelmor/database.h"
#include "levels/records.h"

namespace zonitra::levels {

class CodeLabelPair {
public:
    // The widgets must outlive the pair.
    CodeLabelPair(forms::TextBox& code, forms::ComboBox& label, const KeyLayout& layout)
        : code_(code), label_(label), layout_(layout) {}

    // A level's handlers of the pair's events, by their names in the level's
    // class. An event left null is not handled.
    template <class Level>
    struct Handlers {
        void (Level::*codeChange)() = nullptr;
        void (Level::*codeKeyPress)(std::int16_t& KeyAscii) = nullptr;
        void (Level::*codeLostFocus)() = nullptr;
        void (Level::*labelChange)() = nullptr;
        void (Level::*labelClick)(int index) = nullptr;
        void (Level::*labelLostFocus)() = nullptr;
    };
    template <class Level>
    void Connect(Level& level, const Handlers<Level>& handlers) const;

    // --- What the handlers of every level do alike ---
    // Code KeyPress: Enter completes the code; every character is typed as it is.
    void CompleteOnEnter(std::int16_t KeyAscii) const;
    // Code LostFocus: a code that is not empty and shorter than its length gets
    // leading "0"; the new text raises the code's Change, which looks it up.
    void Complete() const;
    // Label Change: emptying the label empties the code.
    void EmptyCodeWithLabel() const;
    // Label Click: entry `index` is row index + 1 of `list`; its code goes into
    // the code box. Nothing when the label is empty.
    void ShowCodeOfEntry(const std::optional<kelmor::ResultList>& list, int index) const;
    // The code of row `row` of `list` goes into the code box, whatever the label.
    void ShowCodeOfRow(const std::optional<kelmor::ResultList>& list, int row) const;
    // Label LostFocus, first step: labels are kept in upper case.
    void UpperCaseLabel() const;

    // --- Lookup ---
    // The code has the length at which it is looked up.
    bool CodeComplete() const { return code_.Text().size() == layout_.codeLength; }
    // The code of `key`: its last codeLength characters after the parent's key.
    QString CodeOf(std::string_view key) const;
    // The probing read of a lookup: `slot` is set to none, then to the record
    // of `key` when the read succeeds. Returns the read's error number: 0,
    // kelmor::kNotFound, or the number of any other failure (the file not
    // being open included), which goes no further.
    std::int32_t Read(ErrorsResumed& steps, const std::optional<kelmor::DbFile>& file,
                      const QString& key, std::optional<kelmor::DbRecord>& slot) const;

    // --- Remplir and Vider ---
    // Sends the list query (the key in column 1 and the label in column 2 of
    // each row, in the order the query gives) into `list`; returns its row
    // count. The entries are not touched.
    int Select(const kelmor::Database& database, std::string_view query,
               std::optional<kelmor::ResultList>& list) const;
    // Select, then lists the labels (read from the list when shown). The row
    // count goes into `counter` when one is given.
    void Fill(const kelmor::Database& database, std::string_view query,
              std::optional<kelmor::ResultList>& list, std::int32_t* counter) const;
    // Empties the code (whose Change empties what depends on it) and the
    // label, then removes the entries until the next Fill.
    void Empty() const;

private:
    forms::TextBox& code_;
    forms::ComboBox& label_;
    KeyLayout layout_;
};

template <class Level>
void CodeLabelPair::Connect(Level& level, const Handlers<Level>& h) const {
    Level* l = &level;
    if (h.codeChange) code_.Change = [l, f = h.codeChange] { (l->*f)(); };
    if (h.codeKeyPress) code_.KeyPress = [l, f = h.codeKeyPress](std::int16_t& k) { (l->*f)(k); };
    if (h.codeLostFocus) code_.LostFocus = [l, f = h.codeLostFocus] { (l->*f)(); };
    if (h.labelChange) label_.Change = [l, f = h.labelChange] { (l->*f)(); };
    if (h.labelClick) label_.Click = [l, f = h.labelClick](int index) { (l->*f)(index); };
    if (h.labelLostFocus) label_.LostFocus = [l, f = h.labelLostFocus] { (l->*f)(); };
}

}  // namespace zonitra::levels
