#include "generator.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <stdexcept>

#include "kelmor/dynarray.h"

namespace kelmor_cli {

namespace {

constexpr std::array<const char*, 32> kWords = {
    "ÉTANG",  "ETOILE",  "CHÂTEAU",  "ÉGLISE",   "NOËL",    "MOULIN",  "SAINT-ÉTIENNE", "ÎLE",
    "CÔTE",   "ZOLA",    "BELLEVUE", "FORÊT",    "PRÉ",     "RIVIÈRE", "GARE",          "HÔPITAL",
    "LYCÉE",  "CLOS",    "VERGER",   "ÉCOLE",    "PLAINE",  "CÈDRES",  "ABBAYE",        "ŒUVRE",
    "MARCHÉ", "COLLINE", "PONT",     "FONTAINE", "BRUYÈRE", "CROIX",   "PORT",          "VALLÉE"};
constexpr std::array<const char*, 12> kDepartements = {"01", "07", "13", "26", "2A", "2B",
                                                       "38", "42", "69", "73", "74", "84"};

// A well-mixed number for (kind, n): labels and links look random but never
// change between runs.
std::uint64_t Mix(std::uint64_t kind, std::uint64_t n) {
    std::uint64_t z = kind * 0x9E3779B97F4A7C15ULL + n + 0x632BE59BD9B4E019ULL;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

std::string Code(int n, int width) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*d", width, n);
    return text;
}

std::string Label(std::uint64_t kind, std::uint64_t n, const std::string& code) {
    const std::uint64_t h = Mix(kind, n);
    return std::string(kWords[h % kWords.size()]) + " " + kWords[(h >> 8) % kWords.size()] + " " +
           code;
}

// Joins attributes (already holding their value marks) into a whole text.
class Whole {
public:
    Whole& Add(std::string_view attribute) {
        if (count_++ > 0) text_ += kelmor::kAttributeMark;
        text_ += attribute;
        return *this;
    }
    const std::string& Text() const { return text_; }

private:
    std::string text_;
    int count_ = 0;
};

std::string Values(std::initializer_list<std::string> values) {
    std::string joined;
    for (const std::string& v : values) {
        if (!joined.empty() || &v != values.begin()) joined += kelmor::kValueMark;
        joined += v;
    }
    return joined;
}

void Check(int value, int max, const char* what) {
    if (value < 1 || value > max) {
        throw std::invalid_argument(std::string(what) + " must be from 1 to " +
                                    std::to_string(max) + ", not " + std::to_string(value));
    }
}

}  // namespace

void CheckShape(const Shape& shape) {
    Check(shape.sectors, 999, "the number of sectors");
    Check(shape.subSectors, 99, "the number of sub-sectors per sector");
    Check(shape.neighbourhoods, 99, "the number of neighbourhoods per sub-sector");
    Check(shape.centres, 999, "the number of medical centres");
    Check(shape.antennas, 999, "the number of antennas per centre");
    Check(shape.entities, 999, "the number of legal entities");
    if (shape.user.empty() || !kelmor::IsStorable(shape.user)) {
        throw std::invalid_argument("the user name must be a non-empty text");
    }
}

std::uint64_t RecordCount(const Shape& s) {
    const std::uint64_t subs = std::uint64_t(s.sectors) * s.subSectors;
    return std::uint64_t(s.centres) * (1 + s.antennas) + s.entities + 2 + s.sectors + subs +
           subs * s.neighbourhoods;
}

void Generate(const Shape& s, const Emit& emit) {
    CheckShape(s);
    for (int c = 1; c <= s.centres; ++c) {
        const std::string code = Code(c, 3);
        emit("CENTREMEDICAL", code, "CENTRE MÉDICAL " + Label(1, c, code));
    }
    for (int c = 1; c <= s.centres; ++c) {
        for (int a = 1; a <= s.antennas; ++a) {
            const std::string key = Code(c, 3) + Code(a, 3);
            emit("ANTENNEMEDICALE", key, "ANTENNE " + Label(2, c * 1000 + a, key));
        }
    }
    for (int e = 1; e <= s.entities; ++e) {
        const std::string code = Code(e, 3);
        emit("ASSOCIATION", code, "ASSOCIATION " + Label(3, e, code));
    }
    emit("COMPTEUR", "999", "COMPTEUR GÉNÉRAL");
    emit("DROITS", s.user,
         Whole().Add(Values({"SECTEUR", "CENTREMEDICAL"})).Add(Values({"2", "2"})).Text());

    std::string whole;
    for (int si = 1; si <= s.sectors; ++si) {
        const std::string sector = Code(si, 3);
        const std::string label = "SECTEUR " + Label(4, si, sector);
        const std::uint64_t h = Mix(5, si);
        Whole record;
        record.Add(label).Add("").Add("SAP/" + std::to_string(100000000 + h % 900000000) + "/" +
                                      std::to_string(2000 + h % 25));
        record.Add(std::to_string(12000 + h % 9000));  // approval date (stored form)
        record.Add(std::to_string(1 + h % 150)).Add("RUE " + Label(6, si, sector));  // 5, 6
        record.Add("").Add("").Add(Code(1000 + si * 97 % 98000, 5)).Add("VILLE " + sector);
        record.Add("04 78 " + Code(si % 100, 2) + " 00 00").Add("0").Add("").Add("");  // 11-14
        record.Add("").Add("");                                                        // 15, 16
        // Approvals: parallel values of 17, 18 and 19, each by a different entity.
        const int approvals = std::min(static_cast<int>(h % 3), s.entities);
        const int firstEntity = static_cast<int>((h >> 8) % s.entities);
        std::string entities, dates, numbers;
        for (int a = 0; a < approvals; ++a) {
            if (a > 0) {
                entities += kelmor::kValueMark;
                dates += kelmor::kValueMark;
                numbers += kelmor::kValueMark;
            }
            entities += Code(1 + (firstEntity + a) % s.entities, 3);
            dates += std::to_string(15000 + (h >> (4 * a)) % 5000);
            numbers += "AG-" + sector + "-" + std::to_string(a + 1);
        }
        record.Add(entities).Add(dates).Add(numbers);
        record.Add(std::to_string(1000000000 + h % 900000000));       // 20 CRAM
        record.Add(kDepartements[(h >> 16) % kDepartements.size()]);  // 21
        record.Add("\\\\SRVDOC\\AIDES\\" + sector + "\\")
            .Add("\\\\SRVDOC\\AIDANTS\\" + sector + "\\");
        emit("SECTEUR", sector, record.Text());

        for (int ui = 1; ui <= s.subSectors; ++ui) {
            const std::string sub = sector + Code(ui, 2);
            emit("SOUSSECTEUR", sub, Label(7, si * 100 + ui, sub));
            for (int ni = 1; ni <= s.neighbourhoods; ++ni) {
                const std::string key = sub + Code(ni, 2);
                const std::uint64_t n = (std::uint64_t(si) * 100 + ui) * 100 + ni;
                const std::uint64_t link = Mix(8, n);
                const std::string antenna =
                    Code(1 + static_cast<int>(link % s.centres), 3) +
                    Code(1 + static_cast<int>((link >> 20) % s.antennas), 3);
                whole = Label(9, n, key);
                whole += kelmor::kAttributeMark;
                whole += antenna;
                emit("QUARTIER", key, whole);
            }
        }
    }
}

}  // namespace kelmor_cli
