// Reading JSON lines: one line is parsed by SAX events straight into the
// record's whole text, without building a JSON tree, so that loading millions
// of records costs little more than the parse itself.

#include <algorithm>
#include <cstring>
#include <istream>
#include <utility>

#include "kelmor/database.h"
#include "services/jsonl.h"

namespace services::jsonl {

namespace {

using nlohmann::json;

// nlohmann's messages start with "[json.exception.parse_error.101] ".
std::string Reason(const std::string& what) {
    if (const auto end = what.find("] ");
        !what.empty() && what.front() == '[' && end != std::string::npos) {
        return what.substr(end + 2);
    }
    return what;
}

// Builds a StoredRecord from the events of one line. Any callback returning
// false stops the parse; error() then says why.
class LineHandler final : public nlohmann::json_sax<json> {
public:
    explicit LineHandler(StoredRecord& record) : record_(record) {
        record_.file.clear();
        record_.key.clear();
        record_.whole.clear();
    }
    const std::string& error() const { return error_; }

    bool null() override { return Scalar("null"); }
    bool boolean(bool) override { return Scalar("boolean"); }
    bool number_integer(number_integer_t) override { return Scalar("number"); }
    bool number_unsigned(number_unsigned_t) override { return Scalar("number"); }
    bool number_float(number_float_t, const string_t&) override { return Scalar("number"); }
    bool binary(binary_t&) override { return Scalar("binary"); }

    bool string(string_t& text) override {
        switch (depth_) {
            case 0:
                return Scalar("string");
            case 1:
                if (member_ == Member::Attributes)
                    return Fail("\"attributes\" must be an array, not string");
                if (!Storable(text)) return false;
                if (text.empty()) return Fail(Name() + " is empty");
                (member_ == Member::File ? record_.file : record_.key) = std::move(text);
                return true;
            case 2:
                OpenAttribute();
                break;
            case 3:
                OpenValue();
                break;
            default:
                OpenSubValue();
                break;
        }
        if (!Storable(text)) return false;
        record_.whole += text;
        return true;
    }

    bool start_object(std::size_t) override {
        if (depth_ == 0) {
            depth_ = 1;
            return true;
        }
        return Scalar("object");
    }
    bool key(string_t& name) override {
        Member m = Member::None;
        if (name == "file") m = Member::File;
        if (name == "key") m = Member::Key;
        if (name == "attributes") m = Member::Attributes;
        if (m == Member::None) {
            return Fail("unknown member \"" + Printable(name) +
                        "\" (a record has \"file\", \"key\" and \"attributes\")");
        }
        const unsigned bit = 1U << static_cast<unsigned>(m);
        member_ = m;
        if (seen_ & bit) return Fail(Name() + " is given twice");
        seen_ |= bit;
        return true;
    }
    bool end_object() override {
        depth_ = 0;
        for (const Member m : {Member::File, Member::Key}) {
            if (!(seen_ & (1U << static_cast<unsigned>(m)))) {
                member_ = m;
                return Fail("missing " + Name());
            }
        }
        while (!record_.whole.empty() && record_.whole.back() == kelmor::kAttributeMark) {
            record_.whole.pop_back();  // trailing empty attributes mean nothing
        }
        return true;
    }
    bool start_array(std::size_t) override {
        switch (depth_) {
            case 0:
                return Scalar("array");
            case 1:
                if (member_ != Member::Attributes) return Scalar("array");
                break;
            case 2:
                OpenAttribute();
                value_ = 0;
                break;
            case 3:
                OpenValue();
                sub_ = 0;
                break;
            default:
                return Scalar("array");
        }
        ++depth_;
        return true;
    }
    bool end_array() override {
        --depth_;
        return true;
    }
    bool parse_error(std::size_t, const std::string&,
                     const nlohmann::detail::exception& e) override {
        return Fail("not valid JSON: " + Reason(e.what()));
    }

private:
    enum class Member : unsigned { None, File, Key, Attributes };

    void OpenAttribute() {
        if (attr_++ > 0) record_.whole += kelmor::kAttributeMark;
    }
    void OpenValue() {
        if (value_++ > 0) record_.whole += kelmor::kValueMark;
    }
    void OpenSubValue() {
        if (sub_++ > 0) record_.whole += kelmor::kSubValueMark;
    }

    // What the next event is, for messages ("attribute 2, value 1").
    std::string Where() const {
        std::string where = "attribute " + std::to_string(attr_);
        if (depth_ >= 3) where += ", value " + std::to_string(value_);
        if (depth_ >= 4) where += ", sub-value " + std::to_string(sub_);
        return where;
    }
    std::string Name() const {
        switch (member_) {
            case Member::File:
                return "\"file\"";
            case Member::Key:
                return "\"key\"";
            case Member::Attributes:
                return "\"attributes\"";
            default:
                return "a member";
        }
    }
    static std::string Printable(const std::string& text) {
        return kelmor::IsStorable(text) ? text : "?";
    }

    // A value of the wrong type where the event arrives.
    bool Scalar(const char* type) {
        const std::string t = type;
        switch (depth_) {
            case 0:
                return Fail("a record must be a JSON object, not " + t);
            case 1:
                return Fail(Name() +
                            (member_ == Member::Attributes ? " must be an array, not "
                                                           : " must be a text, not ") +
                            t);
            case 2:
                ++attr_;
                return Fail(Where() + " must be a text or an array of values, not " + t);
            case 3:
                ++value_;
                return Fail(Where() + " must be a text or an array of sub-values, not " + t);
            default:
                ++sub_;
                return Fail(Where() + " must be a text, not " + t);
        }
    }
    bool Storable(const std::string& text) {
        if (kelmor::IsStorable(text)) return true;
        try {
            kelmor::CheckStorable(text, depth_ == 1 ? Name() : Where());
        } catch (const kelmor::Error& e) {
            return Fail(e.what());
        }
        return Fail("a text that cannot be stored");
    }
    bool Fail(std::string message) {
        if (error_.empty()) error_ = std::move(message);
        return false;
    }

    StoredRecord& record_;
    int depth_ = 0;  // 1 in the record, 2 in its attributes, 3 in values, 4 in sub-values
    Member member_ = Member::None;
    unsigned seen_ = 0;
    int attr_ = 0, value_ = 0, sub_ = 0;
    std::string error_;
};

// A line followed by kLinePadding readable bytes: most lines are read by the
// fast parser; the general one reads the others and names what is wrong.
void FromPaddedLine(std::string_view line, StoredRecord& record) {
    if (!FromLineFast(line, record)) FromLineGeneral(line, record);
}

// Reads start small and grow while the input fills them: a file of a few
// lines costs one small buffer, a load of millions reads 64 KiB at a time.
constexpr std::size_t kFirstChunk = 1 << 12;
constexpr std::size_t kChunk = 1 << 16;

}  // namespace

void FromLineGeneral(std::string_view line, StoredRecord& record) {
    if (const auto nul = line.find('\0'); nul != std::string_view::npos) {
        throw FormatError("a NUL byte at byte " + std::to_string(nul + 1) +
                          " (JSON text has none; nothing of this line is read)");
    }
    LineHandler handler(record);
    if (!json::sax_parse(line.begin(), line.end(), &handler)) {
        std::string reason = handler.error();
        if (reason.starts_with("kelmor: ")) reason.erase(0, 8);
        throw FormatError(reason.empty() ? "not a record" : reason);
    }
}

void FromLine(std::string_view line, StoredRecord& record) {
    // A padded copy for the fast parser, kept from call to call.
    thread_local std::string padded;
    padded.assign(line);
    padded.append(kLinePadding, ' ');
    FromPaddedLine(std::string_view(padded.data(), line.size()), record);
}

Record FromLine(std::string_view line) {
    StoredRecord stored;
    FromLine(line, stored);
    return Record{std::move(stored.file), std::move(stored.key), kelmor::DynArray(stored.whole)};
}

LinesError::LinesError(std::vector<std::string> lines, std::size_t total)
    : FormatError([&] {
          std::string text;
          for (const std::string& line : lines) text += (text.empty() ? "" : "\n") + line;
          if (total > lines.size()) {
              text += "\n... and " + std::to_string(total - lines.size()) + " more bad line(s)";
          }
          return text;
      }()),
      lines_(std::move(lines)),
      total_(total) {}

Reader::Reader(std::istream& in, std::string source)
    : in_(in), source_(std::move(source)), buffer_(kFirstChunk) {}

bool Reader::NextLine() {
    line_.clear();
    tooLong_ = false;
    while (true) {
        if (begin_ == end_) {
            if (eof_) {
                if (line_.empty() && !tooLong_) return false;
                ++number_;
                return true;  // a last line without its line feed
            }
            if (end_ == buffer_.size() && buffer_.size() < kChunk) {
                buffer_.resize(std::min(buffer_.size() * 4, kChunk));
            }
            in_.read(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
            begin_ = 0;
            end_ = static_cast<std::size_t>(in_.gcount());
            if (in_.bad()) throw ReadError("cannot read " + source_ + ": " + std::strerror(errno));
            eof_ = in_.eof() || end_ == 0;
            continue;
        }
        const char* start = buffer_.data() + begin_;
        const auto* newline = static_cast<const char*>(std::memchr(start, '\n', end_ - begin_));
        const std::size_t take =
            newline ? static_cast<std::size_t>(newline - start) : end_ - begin_;
        if (!tooLong_ && line_.size() + take <= kMaxLineBytes) {
            line_.append(start, take);
        } else {
            tooLong_ = true;  // the rest of the line is skipped, never kept
            line_.clear();
        }
        begin_ += take;
        if (newline) {
            ++begin_;
            ++number_;
            return true;
        }
    }
}

void Reader::NoteBad(const std::string& reason) {
    if (bad_.size() < kMaxReportedLines) {
        bad_.push_back(source_ + ":" + std::to_string(number_) + ": " + reason);
    }
    ++badCount_;
}

bool Reader::Next(StoredRecord& record) {
    while (NextLine()) {
        if (tooLong_) {
            NoteBad("the line is longer than " + std::to_string(kMaxLineBytes >> 20) + " MiB");
            continue;
        }
        std::size_t size = line_.size();
        if (size > 0 && line_.back() == '\r') --size;
        line_.append(kLinePadding, ' ');  // the capacity stays: no allocation per line
        const std::string_view line(line_.data(), size);
        if (line.find_first_not_of(" \t") == std::string_view::npos) continue;
        try {
            FromPaddedLine(line, record);
            kelmor::CheckFileName(record.file);
            kelmor::CheckKey(record.key);
            return true;
        } catch (const std::exception& e) {
            // The database library names itself; the line number says enough.
            std::string_view reason = e.what();
            if (reason.starts_with("kelmor: ")) reason.remove_prefix(8);
            NoteBad(std::string(reason));
        }
    }
    return false;
}

void Reader::ThrowIfBadLines() const {
    if (badCount_ > 0) throw LinesError(bad_, badCount_);
}

std::vector<Record> ReadRecords(std::istream& in, std::string_view source) {
    Reader reader(in, std::string(source));
    std::vector<Record> records;
    StoredRecord stored;
    while (reader.Next(stored)) {
        records.push_back({stored.file, stored.key, kelmor::DynArray(stored.whole)});
    }
    reader.ThrowIfBadLines();
    return records;
}

}  // namespace services::jsonl
