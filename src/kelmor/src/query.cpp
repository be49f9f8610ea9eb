#include "kelmor/query.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "collation.h"
#include "utf8.h"

namespace kelmor {
namespace {

constexpr int kMaxAttribute = 9999;
constexpr char kMarkBytes[] = {kAttributeMark, kValueMark, kSubValueMark, '\0'};

struct Token {
    enum class Kind { Word, Equals, Quoted };
    Kind kind;
    std::string text;
    std::size_t position;  // from 1, for messages
};

[[noreturn]] void Bad(std::string_view query, const std::string& what) {
    throw Error(kBadQuery, "kelmor: bad query \"" + std::string(query) + "\": " + what);
}

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::vector<Token> Tokenize(std::string_view q) {
    std::vector<Token> tokens;
    std::size_t i = 0;
    while (i < q.size()) {
        if (IsSpace(q[i])) {
            ++i;
            continue;
        }
        const std::size_t start = i;
        if (q[i] == '=') {
            tokens.push_back({Token::Kind::Equals, "=", start + 1});
            ++i;
        } else if (q[i] == '\'' || q[i] == '"') {
            // The closing quote is one followed by a space or the end, so that
            // a key holding an apostrophe ("L'HAY") needs no escaping.
            std::size_t close = q.find(q[i], i + 1);
            while (close != std::string_view::npos && close + 1 < q.size() &&
                   !IsSpace(q[close + 1])) {
                close = q.find(q[i], close + 1);
            }
            if (close == std::string_view::npos) {
                Bad(q, "the quoted text opened at position " + std::to_string(start + 1) +
                           " is not closed");
            }
            tokens.push_back(
                {Token::Kind::Quoted, std::string(q.substr(i + 1, close - i - 1)), start + 1});
            i = close + 1;
        } else {
            while (i < q.size() && !IsSpace(q[i]) && q[i] != '=' && q[i] != '\'' && q[i] != '"') {
                ++i;
            }
            tokens.push_back(
                {Token::Kind::Word, std::string(q.substr(start, i - start)), start + 1});
        }
    }
    return tokens;
}

bool IsKeyword(const Token& t, std::string_view keyword) {
    if (t.kind != Token::Kind::Word || t.text.size() != keyword.size()) return false;
    for (std::size_t i = 0; i < keyword.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(t.text[i])) != keyword[i]) return false;
    }
    return true;
}

// An attribute number 1..9999 (0 too when `allowZero`), or nullopt.
std::optional<int> Number(std::string_view text, bool allowZero) {
    if (text.empty() || text.size() > 4) return std::nullopt;
    int n = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        n = n * 10 + (c - '0');
    }
    if (n == 0 && !allowZero) return std::nullopt;
    return n;
}

KeySelection Selection(std::string_view text) {
    using Kind = KeySelection::Kind;
    const bool open = text.starts_with('[');
    const bool close = text.size() > (open ? 1U : 0U) && text.ends_with(']');
    if (open && close) return {Kind::Contains, std::string(text.substr(1, text.size() - 2))};
    if (open) return {Kind::Suffix, std::string(text.substr(1))};
    if (close) return {Kind::Prefix, std::string(text.substr(0, text.size() - 1))};
    return {Kind::Exact, std::string(text)};
}

std::string Show(const Token& t) {
    return t.kind == Token::Kind::Quoted ? "the quoted text '" + t.text + "'"
                                         : "\"" + t.text + "\"";
}

}  // namespace

ParsedQuery ParseQuery(std::string_view text) {
    if (const auto check = detail::CheckText(text, false);
        check.problem != detail::TextProblem::None) {
        throw Error(kBadQuery, "kelmor: bad query: the text contains " + detail::Describe(check));
    }
    const std::vector<Token> tokens = Tokenize(text);
    if (tokens.empty()) Bad(text, "the query is empty");

    ParsedQuery query;
    if (IsKeyword(tokens[0], "SSELECT")) {
        query.sortedVerb = true;
    } else if (IsKeyword(tokens[0], "SELECT")) {
        query.sortedVerb = false;
    } else {
        Bad(text, "it must start with SSELECT or SELECT, not " + Show(tokens[0]));
    }
    if (tokens.size() < 2 || tokens[1].kind != Token::Kind::Word) {
        Bad(text, "a file name must follow " + tokens[0].text);
    }
    query.file = tokens[1].text;
    try {
        CheckFileName(query.file);
    } catch (const Error& e) {
        Bad(text, "\"" + query.file + "\" at position " + std::to_string(tokens[1].position) +
                      " is not a file name");
    }

    bool selected = false;
    for (std::size_t i = 2; i < tokens.size(); ++i) {
        const Token& t = tokens[i];
        const std::string at = " at position " + std::to_string(t.position);
        if (t.kind == Token::Kind::Equals) {
            if (selected) Bad(text, "a second key selection" + at + " (only one is allowed)");
            if (i + 1 >= tokens.size() || tokens[i + 1].kind != Token::Kind::Quoted) {
                Bad(text, "'='" + at + " must be followed by a quoted text such as '001]'");
            }
            query.selection = Selection(tokens[++i].text);
            selected = true;
        } else if (IsKeyword(t, "PAR")) {
            if (i + 1 >= tokens.size()) Bad(text, "PAR" + at + " needs an attribute number");
            const Token& n = tokens[++i];
            const auto number = Number(n.kind == Token::Kind::Word ? n.text : "", false);
            if (!number) {
                Bad(text, "PAR" + at + " needs an attribute number from 1 to " +
                              std::to_string(kMaxAttribute) + ", not " + Show(n));
            }
            query.sortAttributes.push_back(*number);
        } else if (t.kind == Token::Kind::Quoted) {
            Bad(text, Show(t) + at + " must follow '='");
        } else {
            Bad(text, "unexpected " + Show(t) + at + " (expected '=' or PAR)");
        }
    }
    return query;
}

std::vector<int> ParseColumns(std::string_view text) {
    std::vector<int> columns;
    std::size_t i = 0;
    while (i < text.size()) {
        if (IsSpace(text[i])) {
            ++i;
            continue;
        }
        const std::size_t start = i;
        while (i < text.size() && !IsSpace(text[i])) ++i;
        const std::string_view word = text.substr(start, i - start);
        const auto number = Number(word, true);
        if (!number) {
            const bool printable =
                detail::CheckText(text, false).problem == detail::TextProblem::None;
            throw Error(kBadQuery,
                        "kelmor: bad column list \"" + std::string(printable ? text : "?") +
                            "\": " + (printable ? "\"" + std::string(word) + "\"" : "a word") +
                            " is not an attribute number (0 = key, up to " +
                            std::to_string(kMaxAttribute) + ")");
        }
        columns.push_back(*number);
    }
    if (columns.empty()) columns.push_back(0);
    return columns;
}

namespace {

// The asked-for columns of each row: 0 is the key, n attribute n.
std::vector<std::vector<std::string>> Project(const std::vector<Backend::OrderedRow>& found,
                                              const std::vector<int>& columns) {
    std::vector<std::vector<std::string>> rows;
    rows.reserve(found.size());
    for (const Backend::OrderedRow& r : found) {
        std::vector<std::string>& cols = rows.emplace_back();
        cols.reserve(columns.size());
        for (int c : columns) cols.emplace_back(c == 0 ? r.key : AttributeView(r.whole, c));
    }
    return rows;
}

// The rows of a whole file, paged from the backend's ordered index. Where each
// page read ended is kept, so reading on from there is a seek; a jump further
// skips from the nearest known position.
class FileSource final : public ResultList::Source {
public:
    FileSource(std::shared_ptr<Backend> backend, std::string file, Backend::Order order,
               std::vector<int> columns)
        : backend_(std::move(backend)),
          file_(std::move(file)),
          order_(order),
          columns_(std::move(columns)) {}

    std::vector<std::vector<std::string>> Fetch(std::int64_t first, int count) override {
        std::optional<Backend::OrderedRow> after;
        std::int64_t skip = first;
        if (auto it = ends_.upper_bound(first); it != ends_.begin()) {
            --it;
            skip = first - it->first;
            after = it->second;
        }
        std::vector<Backend::OrderedRow> page = backend_->Page(file_, order_, after, skip, count);
        std::vector<std::vector<std::string>> rows = Project(page, columns_);
        if (!page.empty()) {
            Backend::OrderedRow end = std::move(page.back());
            end.whole.clear();
            ends_[first + static_cast<std::int64_t>(page.size())] = std::move(end);
        }
        return rows;
    }

private:
    std::shared_ptr<Backend> backend_;
    std::string file_;
    Backend::Order order_;
    std::vector<int> columns_;
    // Row number (from 0) that follows each page read -> that page's last row.
    std::map<std::int64_t, Backend::OrderedRow> ends_;
};

// The keys starting with a prefix, by label: read in key order with the sort
// keys stored beside them, then sorted on those bytes. A list of a sector's
// 9,800 neighbourhoods thus costs no collation at all, where comparing the
// labels themselves made some 130,000 French comparisons.
std::vector<std::vector<std::string>> LabelOrderedPrefix(Backend& backend, const ParsedQuery& query,
                                                         const std::vector<int>& columns,
                                                         std::int64_t counted) {
    const std::string& prefix = query.selection.text;
    std::vector<Backend::OrderedRow> found;
    // The pages start after the greatest text below every key with the
    // prefix: its last byte one less, then 0xFF, which no key holds (keys are
    // UTF-8). One more row than counted shows where the prefix ends.
    std::string before = prefix;
    before.back() = static_cast<char>(static_cast<unsigned char>(before.back()) - 1);
    before += '\xFF';
    std::optional<Backend::OrderedRow> after = Backend::OrderedRow{before, {}, {}};
    found.reserve(static_cast<std::size_t>(counted));
    bool more = true;
    while (more) {
        const int limit = static_cast<int>(std::clamp<std::int64_t>(
            counted - static_cast<std::int64_t>(found.size()) + 1, 16, std::int64_t{1} << 20));
        std::vector<Backend::OrderedRow> page =
            backend.Page(query.file, Backend::Order::Key, after, 0, limit);
        // Rows written since the count may lengthen the list: read on while
        // whole pages stay within the prefix.
        more = page.size() == static_cast<std::size_t>(limit);
        for (Backend::OrderedRow& row : page) {
            if (row.key.compare(0, prefix.size(), prefix) != 0) {
                more = false;
                break;
            }
            found.push_back(std::move(row));
        }
        if (more) after = Backend::OrderedRow{found.back().key, {}, {}};
    }
    // A backend that gives no sort key in key order: made here, as stored.
    for (Backend::OrderedRow& row : found) {
        if (row.sortKey.empty()) row.sortKey = LabelSortKey(row.whole);
    }
    // Rows arrive in key order: a stable sort keeps it between equal labels.
    std::stable_sort(found.begin(), found.end(),
                     [](const Backend::OrderedRow& a, const Backend::OrderedRow& b) {
                         return a.sortKey < b.sortKey;
                     });
    return Project(found, columns);
}

// A list of a prefix by label, counted at once and read whole when a row is
// first asked for: filling a drop-down needs only the count, and the rows of
// a list nobody opens (a sector's 9,702 neighbourhoods after a sub-sector
// creation) are never read.
class PrefixSource final : public ResultList::Source {
public:
    PrefixSource(std::shared_ptr<Backend> backend, ParsedQuery query, std::vector<int> columns,
                 std::int64_t counted)
        : backend_(std::move(backend)),
          query_(std::move(query)),
          columns_(std::move(columns)),
          counted_(counted) {}

    std::vector<std::vector<std::string>> Fetch(std::int64_t first, int count) override {
        if (!rows_) rows_ = LabelOrderedPrefix(*backend_, query_, columns_, counted_);
        const auto size = static_cast<std::int64_t>(rows_->size());
        const std::int64_t from = std::clamp<std::int64_t>(first, 0, size);
        const std::int64_t to = std::clamp<std::int64_t>(first + count, from, size);
        return {rows_->begin() + from, rows_->begin() + to};
    }

private:
    std::shared_ptr<Backend> backend_;
    ParsedQuery query_;
    std::vector<int> columns_;
    std::int64_t counted_;
    std::optional<std::vector<std::vector<std::string>>> rows_;
};

}  // namespace

ResultList RunQuery(const std::shared_ptr<Backend>& backendPtr, const ParsedQuery& query,
                    const std::vector<int>& columns) {
    Backend& backend = *backendPtr;
    const bool wholeFile =
        query.selection.kind == KeySelection::Kind::All ||
        (query.selection.kind == KeySelection::Kind::Prefix && query.selection.text.empty());
    const bool indexedOrder =
        query.sortAttributes.empty() || query.sortAttributes == std::vector{1};
    if (wholeFile && indexedOrder) {
        const std::int64_t count = backend.Count(query.file, KeySelection{});
        return ResultList(
            count, std::make_shared<FileSource>(
                       backendPtr, query.file,
                       query.sortAttributes.empty() ? Backend::Order::Key : Backend::Order::Label,
                       columns));
    }
    if (query.selection.kind == KeySelection::Kind::Prefix &&
        query.sortAttributes == std::vector{1} && query.selection.text.back() != '\0') {
        const std::int64_t count = backend.Count(query.file, query.selection);
        return ResultList(count, std::make_shared<PrefixSource>(backendPtr, query, columns, count));
    }
    std::vector<std::vector<std::string>> rows;
    // The PAR attributes of each row, joined by attribute marks; and whether
    // they hold no mark at all (the usual single-valued label).
    std::vector<std::string> sortTexts;
    std::vector<char> plain;
    const bool sorting = !query.sortAttributes.empty();
    backend.Scan(query.file, query.selection, [&](std::string_view key, std::string_view whole) {
        std::vector<std::string>& cols = rows.emplace_back();
        cols.reserve(columns.size());
        for (int c : columns) cols.emplace_back(c == 0 ? key : AttributeView(whole, c));
        if (sorting) {
            std::string& text = sortTexts.emplace_back();
            for (std::size_t i = 0; i < query.sortAttributes.size(); ++i) {
                if (i > 0) text += kAttributeMark;
                text += AttributeView(whole, query.sortAttributes[i]);
            }
            plain.push_back(text.find_first_of(kMarkBytes) == std::string::npos);
        }
    });
    if (!sorting) return ResultList(std::move(rows));

    // Rows arrive in key order: ties keep it by comparing positions last.
    std::vector<std::uint32_t> order(rows.size());
    for (std::uint32_t i = 0; i < order.size(); ++i) order[i] = i;
    std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        const int c = plain[a] && plain[b] ? detail::CompareFrenchPlain(sortTexts[a], sortTexts[b])
                                           : detail::CompareFrench(sortTexts[a], sortTexts[b]);
        return c != 0 ? c < 0 : a < b;
    });
    std::vector<std::vector<std::string>> sorted;
    sorted.reserve(rows.size());
    for (std::uint32_t i : order) sorted.push_back(std::move(rows[i]));
    return ResultList(std::move(sorted));
}

}  // namespace kelmor
