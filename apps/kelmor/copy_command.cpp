#include "copy_command.h"

#include <openssl/evp.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <ostream>
#include <stdexcept>

#include "kelmor/backend.h"
#include "kelmor/database.h"
#include "kelmor_command.h"

namespace kelmor_cli {

namespace {

class Sha256 {
public:
    Sha256() : ctx_(EVP_MD_CTX_new()) {
        if (!ctx_ || EVP_DigestInit_ex(ctx_.get(), EVP_sha256(), nullptr) != 1) {
            throw std::runtime_error("cannot start a SHA-256 digest");
        }
    }
    // The length first, so that ("ab", "c") and ("a", "bc") differ.
    void Add(std::string_view bytes) {
        const std::uint64_t size = bytes.size();
        unsigned char length[8];
        for (int i = 0; i < 8; ++i) length[i] = static_cast<unsigned char>(size >> (8 * i));
        if (EVP_DigestUpdate(ctx_.get(), length, sizeof length) != 1 ||
            EVP_DigestUpdate(ctx_.get(), bytes.data(), bytes.size()) != 1) {
            throw std::runtime_error("SHA-256 digest failed");
        }
    }
    std::string Hex() {
        unsigned char digest[EVP_MAX_MD_SIZE];
        unsigned int size = 0;
        if (EVP_DigestFinal_ex(ctx_.get(), digest, &size) != 1) {
            throw std::runtime_error("SHA-256 digest failed");
        }
        static constexpr char kHex[] = "0123456789abcdef";
        std::string hex;
        for (unsigned int i = 0; i < size; ++i) {
            hex += kHex[digest[i] >> 4];
            hex += kHex[digest[i] & 0xF];
        }
        return hex;
    }

private:
    struct Free {
        void operator()(EVP_MD_CTX* ctx) const { EVP_MD_CTX_free(ctx); }
    };
    std::unique_ptr<EVP_MD_CTX, Free> ctx_;
};

constexpr const char* kCopyUsage = "usage: kelmor SRC copy DST";

// The first file of `db` that holds a record, or "".
std::string FirstFileWithRecords(kelmor::Database& db) {
    struct Found {};
    for (const std::string& name : db.FileNames()) {
        try {
            db.backend().Scan(name, {}, [](std::string_view, std::string_view) { throw Found{}; });
        } catch (const Found&) {
            return name;
        }
    }
    return {};
}

void Print(std::ostream& out, const std::vector<FileDigest>& digests) {
    for (const FileDigest& d : digests) {
        out << d.file << ": " << d.records << " records, sha256 " << d.sha256 << "\n";
    }
}

}  // namespace

std::vector<FileDigest> DigestFiles(kelmor::Database& db) {
    std::vector<FileDigest> digests;
    for (const std::string& name : db.FileNames()) {
        FileDigest digest{name, 0, {}};
        Sha256 sha;
        db.backend().Scan(name, {}, [&](std::string_view key, std::string_view whole) {
            sha.Add(key);
            sha.Add(whole);
            ++digest.records;
        });
        digest.sha256 = sha.Hex();
        digests.push_back(std::move(digest));
    }
    return digests;
}

int Copy(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 3) {
        err << "kelmor: copy takes a source and a target database\n" << kCopyUsage << "\n";
        return kUsage;
    }
    const std::string& from = args[0];
    const std::string& to = args[2];
    if (from == to) {
        err << "kelmor: copy: the source and the target are the same database\n";
        return kCopyRefused;
    }
    auto source = kelmor::Database::Open(from, kelmor::OpenMode::MustExist);
    auto target = kelmor::Database::Open(to, kelmor::OpenMode::CreateIfMissing);
    kelmor::Transaction transaction(*target);
    if (const std::string busy = FirstFileWithRecords(*target); !busy.empty()) {
        err << "kelmor: copy: the target's file " << busy
            << " holds records; copy only into an empty database; nothing was stored\n";
        return kCopyRefused;
    }
    std::size_t records = 0;
    const std::vector<std::string> files = source->FileNames();
    for (const std::string& name : files) {
        target->CreateFile(name);
        // Declared before the records go in: the triggers count them.
        for (int length : source->backend().CountedKeyPrefixes(name)) {
            target->CountKeyPrefixes(name, length);
        }
        source->backend().Scan(name, {}, [&](std::string_view key, std::string_view whole) {
            target->backend().Write(name, key, whole);
            ++records;
        });
    }
    // Read back before committing: the target's reads see its uncommitted
    // writes, and a difference leaves nothing behind.
    std::vector<FileDigest> copied = DigestFiles(*target);
    const std::vector<FileDigest> original = DigestFiles(*source);
    // Empty files the target had already are no difference.
    std::erase_if(copied, [&](const FileDigest& d) {
        return d.records == 0 && std::find(files.begin(), files.end(), d.file) == files.end();
    });
    if (copied != original) {
        err << "kelmor: copy: the copy differs from the source (did the source change during "
               "the copy?); nothing was stored\nsource:\n";
        Print(err, original);
        err << "copy:\n";
        Print(err, copied);
        return kCopyRefused;
    }
    transaction.Commit();
    Print(out, copied);
    out << records << " records copied in " << files.size()
        << " files; both databases hold the same records\n";
    return kOk;
}

}  // namespace kelmor_cli
