// Two workstations creating a sector at the same moment on one SQLite
// database: two zonitra-drive processes on the demo data, each entering a
// sector and pressing "OK" while the test holds the database's write lock,
// so that both have found the first free code (010) free before either can
// store it.

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "editor_harness.h"
#include "kelmor/database.h"

namespace {

using harness::Json;

// zonitra-drive on a database, fed its script a few lines at a time.
class Workstation {
public:
    explicit Workstation(const std::filesystem::path& database) {
        process_.start(ZONITRA_DRIVE_PROGRAM, {"--db", QString::fromStdString(database.string())});
        EXPECT_TRUE(process_.waitForStarted());
    }
    ~Workstation() {
        process_.closeWriteChannel();
        if (!process_.waitForFinished(20000)) process_.kill();
    }

    void Send(const std::string& lines) { process_.write(lines.data(), qint64(lines.size())); }
    // The next line it prints; null after 20 s of silence.
    Json Next() {
        while (!process_.canReadLine())
            if (!process_.waitForReadyRead(20000)) return nullptr;
        return Json::parse(process_.readLine().toStdString());
    }
    // Sleeping in the database's wait for the write lock (the editor itself
    // never sleeps: between commands it waits for input).
    bool WaitingForTheLock() const {
        QFile wchan(QStringLiteral("/proc/%1/wchan").arg(process_.processId()));
        return wchan.open(QIODevice::ReadOnly) && wchan.readAll().contains("nanosleep");
    }

private:
    QProcess process_;
};

TEST(ConcurrentCreation, TwoWorkstationsGetTwoCodesAndBothSectorsSurvive) {
    harness::TestData demo({});
    const std::filesystem::path database = demo.Location();
    const std::string labels[] = {"VAISE", "GERLAND"};
    Workstation stations[2]{Workstation(database), Workstation(database)};
    for (int i = 0; i < 2; ++i) {
        stations[i].Send("click Cmd_AjouterSecteur\ntype Cbo_LibSecteur " + labels[i] +
                         "\nkey Cbo_LibSecteur Tab\ntype Txt_CodeCentreMedQuartier 2\n"
                         "key Txt_CodeCentreMedQuartier Enter\nstate\n");
        ASSERT_EQ(stations[i].Next()["focus"], "Txt_CodeAntMedQuartier") << labels[i];
    }

    {
        kelmor::Transaction lock(demo.Plain());
        for (Workstation& station : stations) station.Send("click Cmd_OkSecteurGeo\nstate\n");
        // Each waits for the lock once its probe is done; the wait lasts 5 s at most.
        bool waited[2] = {false, false};
        for (QDeadlineTimer deadline(4000); !(waited[0] && waited[1]) && !deadline.hasExpired();) {
            for (int i = 0; i < 2; ++i) waited[i] = waited[i] || stations[i].WaitingForTheLock();
            QTest::qWait(1);
        }
        EXPECT_TRUE(waited[0] && waited[1]) << "the two editors did not both reach their writes";
        lock.Commit();
    }

    std::set<std::string> codes;
    for (int i = 0; i < 2; ++i) {
        const Json state = stations[i].Next();
        ASSERT_EQ(state["writes"].size(), 3u) << state.dump();
        const std::string code = state["writes"][0]["key"];
        codes.insert(code);
        EXPECT_EQ(state["writes"][2]["key"], code + "0101");
        EXPECT_EQ(state["messages"], Json::array());
        EXPECT_EQ(demo.Stored("SECTEUR", code, 1), labels[i]) << code;
    }
    // The loser met 010 taken at its insert and went on past 011-013.
    EXPECT_EQ(codes, (std::set<std::string>{"010", "014"}));
}

}  // namespace
