// Dynamic arrays on any bytes: a whole text parses or is refused, reads and
// writes at fuzzed positions keep the marks consistent, and what a write puts
// at a position is what a read finds there.

#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <string>

#include "kelmor/dynarray.h"

namespace {

[[noreturn]] void Broken(const std::string& what) {
    std::cerr << "property broken: " << what << "\n";
    std::abort();
}

// Consumes the input as operations: opcode, three positions, a text.
class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool More() const { return at_ < size_; }
    std::uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
    int Position() { return static_cast<int>(Byte() % 12) - 2; }  // -2 .. 9
    std::string Text() {
        const std::size_t length = Byte() % 8;
        std::string text;
        while (text.size() < length && More()) text += static_cast<char>(Byte());
        return text;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

void CheckWhole(const kelmor::DynArray& array) {
    const std::string whole = array.Text();
    if (!whole.empty() && whole.back() == kelmor::kAttributeMark) Broken("trailing attribute mark");
    if (!kelmor::IsValidWholeText(whole)) Broken("whole text not valid");
    if (kelmor::DynArray(whole) != array) Broken("whole text does not round-trip");
    for (int a = 1; a <= array.AttributeCount(); ++a) {
        const std::string attribute = array.Get(a);
        if (std::string(kelmor::AttributeView(whole, a)) != attribute) Broken("AttributeView");
        const int count = array.DCount(a);
        if (static_cast<int>(array.Values(a).size()) != count) Broken("Values vs DCount");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input in(data, size);
    kelmor::DynArray array;
    try {
        array.SetText(in.Text() + in.Text() + in.Text());
    } catch (const kelmor::DelimiterError&) {
    }
    CheckWhole(array);
    // A bounded number of operations keeps each run short; longer inputs add
    // nothing that a shorter one cannot reach.
    for (int ops = 0; ops < 48 && in.More(); ++ops) {
        const std::uint8_t op = in.Byte() % 4;
        const int attr = in.Position(), value = in.Position(), sub = in.Position();
        const std::string text = in.Text();
        const kelmor::DynArray before = array;
        try {
            switch (op) {
                case 0:
                    (void)array.Get(attr, value, sub);
                    break;
                case 1:
                    array.Set(attr, value, sub, text);
                    if (value >= 0 && sub >= 0 && array.Get(attr, value, sub) != text) {
                        Broken("a write is not read back");
                    }
                    break;
                case 2:
                    array.SetValues(attr, {text, in.Text()});
                    break;
                default:
                    (void)array.DCount(attr);
                    break;
            }
        } catch (const kelmor::Error& e) {
            if (e.number() != kelmor::kBadValue && e.number() != kelmor::kBadPosition) {
                Broken(e.what());
            }
            if (!(array == before)) Broken("a refused write changed the array");
        }
    }
    CheckWhole(array);
    return 0;
}
