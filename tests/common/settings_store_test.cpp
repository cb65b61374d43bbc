// The shared settings store: the INI form QSettings reads, values judged one
// by one in damaged files, and saves that are complete or leave the old file.
#include "common/settings_store.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QSettings>
#include <QTemporaryDir>
#include <csignal>
#include <functional>
#include <thread>

#include "common/store_lock.h"

namespace capacimo {
namespace {

using Kind = ini::StoredValue::Kind;

class SettingsStoreTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(home.isValid());
        qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
        QDir(home.path()).mkpath("Ostrelwerk");
    }
    QString file() const { return SettingsStore::filePath(); }
    void plant(const QByteArray& bytes) const { plantAt(file(), bytes); }
    static void plantAt(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray raw() const {
        QFile f(file());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static QString text(const QString& key) {
        const ini::StoredValue v = SettingsStore().value(key);
        return v.kind == Kind::Text ? v.text : QStringLiteral("<missing or other>");
    }
    // Saves one more value; the text of the failure, empty when it was saved.
    static std::string saveOne() {
        SettingsStore store;
        store.setValue("ScribentS/Settings/Analysis1", "4");
        try {
            store.save();
        } catch (const SettingsWriteError& e) {
            return e.what();
        }
        return {};
    }

    QTemporaryDir home;
    // The good values every damaged file below surrounds.
    const QByteArray before = "[ScribentS]\nSettings\\CFSize=3\nSettings\\Channels\\CountAnalog=7\n";
    const QByteArray after = "Settings\\Channels\\CountDigitalOnOff=5\nSettings\\Group00\\CountGroupIV=4\n";
    void expectGoodValues() const {
        EXPECT_EQ(text("ScribentS/Settings/CFSize"), "3");
        EXPECT_EQ(text("ScribentS/Settings/Channels/CountAnalog"), "7");
        EXPECT_EQ(text("ScribentS/Settings/Channels/CountDigitalOnOff"), "5");
        EXPECT_EQ(text("ScribentS/Settings/Group00/CountGroupIV"), "4");
    }
};

// Runs a save in a child process, as an ordinary user even when the tests
// run as root (whose rights ignore file modes), after prepare(). True when
// the save failed with an error.
bool saveFailsInChild(const QString& home, const std::function<void()>& prepare) {
    const uid_t nobody = 65534;
    if (geteuid() == 0) {
        for (const QString& path : {home, home + "/Ostrelwerk"}) {
            if (chown(path.toLocal8Bit().constData(), nobody, nobody) != 0) return false;
        }
        // lchown: a link is given away, never what it points to.
        lchown((home + "/Ostrelwerk/Capacimo.conf").toLocal8Bit().constData(), nobody, nobody);
    }
    const pid_t child = fork();
    if (child < 0) return false;
    if (child == 0) {
        if (geteuid() == 0 && (setgid(nobody) != 0 || setuid(nobody) != 0)) _exit(2);
        prepare();
        SettingsStore store;
        store.setValue("ScribentS/Settings/Analysis1", "4");
        try {
            store.save();
        } catch (const SettingsWriteError&) {
            _exit(0);
        }
        _exit(1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST_F(SettingsStoreTest, TextsComeBackAsQSettingsWritesAndReadsThem) {
    const QString texts[] = {"Scribent S",
                             " padded ",
                             "a, b; c=d [e]",
                             "\\f \"g\"",
                             "@at",
                             "line\nbreak\ttab",
                             "\x01\x02"
                             "1f",
                             QString::fromUtf8("Gr\xC3\xBC\xC3\x9F\xC3\xA9 \xF0\x9F\x93\x88"),
                             ""};
    for (const QString& t : texts) {
        plant({});
        {
            SettingsStore store;
            store.setValue("Settings/Last", t);
            store.setValue("ScribentS/Settings/Group0A/Odd Name%", t);
            store.save();
        }
        QSettings qt(file(), QSettings::IniFormat);
        EXPECT_EQ(qt.value("Settings/Last"), QVariant(t)) << raw().toStdString();
        EXPECT_EQ(qt.value("ScribentS/Settings/Group0A/Odd Name%"), QVariant(t));
        EXPECT_EQ(text("Settings/Last"), t);
        qt.setValue("Settings/Other", t);
        qt.sync();
        EXPECT_EQ(text("Settings/Other"), t);
    }
}

TEST_F(SettingsStoreTest, ListsAndTypedValuesAreNotTexts) {
    plant(
        "[Settings]\nList=1, 2\nTyped=@Variant(\\0\\0\\0\\x2)\nBytes=@ByteArray(3)\nQuoted=\"1, 2\"\n"
        "Comment=5 ; note\nEmpty=\n");
    SettingsStore store;
    EXPECT_EQ(store.value("Settings/List").kind, Kind::Other);
    EXPECT_EQ(store.value("Settings/Typed").kind, Kind::Other);
    EXPECT_EQ(store.value("Settings/Bytes").kind, Kind::Other);
    EXPECT_EQ(store.value("Settings/Quoted").text, "1, 2");
    EXPECT_EQ(store.value("Settings/Comment").text, "5");
    EXPECT_EQ(store.value("Settings/Empty").kind, Kind::Text);
    EXPECT_EQ(store.value("Settings/Nothing").kind, Kind::Missing);
}

// Each damage sits between good values; they are read, and a save keeps them.
TEST_F(SettingsStoreTest, DamagedLinesCostOnlyThemselves) {
    const QByteArray megabyteLine = "Junk=" + QByteArray(1 << 20, 'x') + "\n";
    const std::pair<const char*, QByteArray> damages[] = {
        {"junk line", "this line is junk\n"},
        {"unclosed header", "[Broken\n"},
        {"NUL byte", QByteArray("Settings\\Analysis2=1\0002\n", 23)},
        {"invalid UTF-8", "Settings\\Analysis3=\xC3\x28\xFF\n\xFE\xFE=\xFF\n"},
        {"1 MB line", megabyteLine},
        {"repeated key", "Settings\\Channels\\CountAnalog=1\n"},
        {"unbalanced quote", "Settings\\Analysis4=\"open\n"},
    };
    for (const auto& [name, damage] : damages) {
        SCOPED_TRACE(name);
        // A repeated key: the later value counts, as in QSettings.
        const bool repeated = std::string(name) == "repeated key";
        plant(repeated ? before + after + "[ScribentS]\n" + damage + "Settings\\Channels\\CountAnalog=7\n"
                       : before + damage + after);
        expectGoodValues();
        const QByteArray planted = raw();
        ASSERT_EQ(saveOne(), "");
        expectGoodValues();
        EXPECT_EQ(text("ScribentS/Settings/Analysis1"), "4");
        if (!repeated) {
            EXPECT_TRUE(raw().contains(damage)) << "a line the program does not own was changed";
        }
        EXPECT_EQ(raw().size(), planted.size() + QByteArray("Settings\\Analysis1=4\n").size());
    }
}

TEST_F(SettingsStoreTest, AnEmptyOrHugeFileIsReadAndKept) {
    plant({});
    EXPECT_EQ(SettingsStore().value("ScribentS/Settings/CFSize").kind, Kind::Missing);
    ASSERT_EQ(saveOne(), "");
    EXPECT_EQ(text("ScribentS/Settings/Analysis1"), "4");

    QByteArray big = before;
    const QByteArray filler = "[Other]\nData=" + QByteArray(1000, 'y') + "\n";
    while (big.size() < (50 << 20)) big += filler;
    plant(big + "[ScribentS]\n" + after);
    expectGoodValues();
    ASSERT_EQ(saveOne(), "");
    expectGoodValues();
    EXPECT_EQ(raw().size(), big.size() + 12 + after.size() + 21);
}

// Something else than a file where the store belongs: nothing is read, the
// reading does not hang, and a save refuses to replace it.
TEST_F(SettingsStoreTest, ADirectoryDeviceOrPipeInPlaceOfTheFileIsLeftAlone) {
    ASSERT_TRUE(QDir().mkpath(file()));
    EXPECT_EQ(SettingsStore().value("ScribentS/Settings/CFSize").kind, Kind::Missing);
    EXPECT_NE(saveOne(), "");
    EXPECT_TRUE(QFileInfo(file()).isDir());
    ASSERT_TRUE(QDir().rmdir(file()));

    // The save runs as an ordinary user: should it ever go wrong, it must not
    // be able to replace the device itself.
    ASSERT_TRUE(QFile::link("/dev/zero", file()));
    EXPECT_EQ(SettingsStore().value("ScribentS/Settings/CFSize").kind, Kind::Missing);
    EXPECT_TRUE(saveFailsInChild(home.path(), [] {}));
    EXPECT_EQ(QFileInfo(file()).symLinkTarget(), "/dev/zero");
    ASSERT_TRUE(QFile::remove(file()));

    ASSERT_EQ(mkfifo(file().toLocal8Bit().constData(), 0600), 0);
    EXPECT_EQ(SettingsStore().value("ScribentS/Settings/CFSize").kind, Kind::Missing);
    EXPECT_NE(saveOne(), "");
}

TEST_F(SettingsStoreTest, OnlyTheChangedValuesChangeAndOneSaveWritesThemAll) {
    const QByteArray original = "; kept comment\r\n[General]\ntop=1\n\n[OtherProgram]\nkey=\"x, y\"\n\n" + before +
                                after + "\n[Settings]\nLast=Scribent S\n";
    plant(original);
    SettingsStore store;
    store.setValue("ScribentS/Settings/CFSize", "2");             // replaced where it stands
    store.setValue("ScribentS/Settings/Group01/SaveCycle", "9");  // joins [ScribentS]
    store.setValue("NewUnit/Settings/CFSize", "1");               // a new section at the end
    EXPECT_EQ(store.value("ScribentS/Settings/CFSize").text, "2");
    store.save();
    QByteArray expected = original;
    expected.replace("CFSize=3", "CFSize=2");
    expected.replace(after, after + "Settings\\Group01\\SaveCycle=9\n");
    expected += "\n[NewUnit]\nSettings\\CFSize=1\n";
    EXPECT_EQ(raw(), expected);
}

// A new value joins its section after the section's last line, even when that
// line is a repetition of a value the same save sets, which the save drops.
TEST_F(SettingsStoreTest, ANewValueAfterARepeatedOneIsSaved) {
    plant("[ScribentS]\nSettings\\CFSize=1\nSettings\\CFSize=2\n");
    SettingsStore store;
    store.setValue("ScribentS/Settings/CFSize", "3");
    store.setValue("ScribentS/Settings/Analysis1", "4");
    store.save();
    EXPECT_EQ(raw().toStdString(), "[ScribentS]\nSettings\\CFSize=3\nSettings\\Analysis1=4\n");
}

// A save that cannot complete leaves the previous file whole and says so.
TEST_F(SettingsStoreTest, AFailedSaveLeavesThePreviousFileWhole) {
    QByteArray original = before + after + "[Settings]\nLast=Scribent S\n";
    for (int i = 0; i < 100; ++i)
        original += "[Other" + QByteArray::number(i) + "]\nvalue=" + QByteArray(60, 'z') + "\n";
    plant(original);
    const QString dir = QFileInfo(file()).absolutePath();

    // A full disk: when files may not grow beyond 4 KiB, every write past that
    // fails with EFBIG just as it would with ENOSPC.
    EXPECT_TRUE(saveFailsInChild(home.path(), [] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &limit);
    }));
    EXPECT_EQ(raw(), original);
    EXPECT_TRUE(saveFailsInChild(home.path(), [this] { chmod(file().toLocal8Bit().constData(), 0400); }));
    EXPECT_EQ(raw(), original);
    EXPECT_TRUE(saveFailsInChild(home.path(), [this] {
        chmod(file().toLocal8Bit().constData(), 0600);
        chmod(QFileInfo(file()).absolutePath().toLocal8Bit().constData(), 0500);
    }));
    EXPECT_EQ(raw(), original);
    chmod(dir.toLocal8Bit().constData(), 0700);
    EXPECT_EQ(QDir(dir).entryList(QDir::Files | QDir::Hidden).size(), 1) << "a temporary file was left behind";
    // And with room to write, the same save succeeds.
    EXPECT_FALSE(saveFailsInChild(home.path(), [] {}));
    EXPECT_EQ(text("ScribentS/Settings/Analysis1"), "4");
}

// An editor's byte-order mark before the first section hides nothing, and a
// save keeps it without adding a second section.
TEST_F(SettingsStoreTest, ALeadingByteOrderMarkIsSkipped) {
    plant("\xEF\xBB\xBF" + before + after);
    expectGoodValues();
    ASSERT_EQ(saveOne(), "");
    expectGoodValues();
    EXPECT_TRUE(raw().startsWith("\xEF\xBB\xBF[ScribentS]\n"));
    EXPECT_EQ(raw().count("[ScribentS]"), 1);
}

TEST_F(SettingsStoreTest, WithoutAHomeNothingIsReadOrWritten) {
    const QByteArray userHome = qgetenv("HOME");
    qunsetenv("XDG_CONFIG_HOME");
    qunsetenv("HOME");
    EXPECT_EQ(SettingsStore::filePath(), "");
    EXPECT_NE(SettingsStore().readProblem(), "");
    EXPECT_NE(saveOne().find("HOME"), std::string::npos);
    qputenv("HOME", userHome);
}

// Whatever a saver left behind when it was killed inside the lock, the next
// save goes ahead and the file is whole.
TEST_F(SettingsStoreTest, ALockWhoseOwnerIsGoneNeverBlocks) {
    plant(before + after);
    const QString lock = file() + ".lock";
    auto killedInside = [&](const std::function<void()>& phase) {
        const pid_t child = fork();
        if (child == 0) {
            QString problem;
            auto held = StoreLock::take(lock, problem);
            if (!held) _exit(1);
            phase();
            raise(SIGKILL);
        }
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status));
    };
    const std::pair<const char*, std::function<void()>> phases[] = {
        {"lock file created, nothing in it", [&] { close(open(lock.toLocal8Bit(), O_CREAT | O_WRONLY, 0644)); }},
        {"lock file of another kind of lock", [&] { plantAt(lock, "999999\nCapacimo\nhost\n"); }},
        {"killed holding the lock", [&] { killedInside([] {}); }},
        {"killed after reading", [&] { killedInside([] { SettingsStore().value("ScribentS/Settings/CFSize"); }); }},
        {"killed while writing",
         [&] {
             killedInside([this] {
                 QSaveFile f(file());
                 if (f.open(QIODevice::WriteOnly)) f.write("[ScribentS]\nSettings\\CFS");
                 f.flush();
                 raise(SIGKILL);
             });
         }},
    };
    for (const auto& [name, phase] : phases) {
        SCOPED_TRACE(name);
        phase();
        ASSERT_EQ(saveOne(), "");
        expectGoodValues();
        EXPECT_FALSE(QFileInfo::exists(lock)) << "the lock file stays behind";
    }
}

// A lock file left by a run as another user serves or is made anew; what
// cannot serve as a lock is named with the reason, in the error and on stderr.
TEST_F(SettingsStoreTest, ALockThatCannotBeTakenIsNamed) {
    plant(before + after);
    const QString lock = file() + ".lock";
    for (const mode_t mode : {0444, 0000}) {
        plantAt(lock, "");
        ASSERT_EQ(chmod(lock.toLocal8Bit(), mode), 0);
        EXPECT_FALSE(saveFailsInChild(home.path(), [] {})) << "mode " << mode;
        if (geteuid() == 0) chown(file().toLocal8Bit(), 0, 0);  // the child took it over
    }

    ASSERT_TRUE(QDir().mkpath(lock));
    SettingsKey key(QString{});
    key.write("Settings", "Last", "x");
    testing::internal::CaptureStderr();
    try {
        key.close();
        ADD_FAILURE() << "saved past a directory in the lock's place";
    } catch (const SettingsWriteError& e) {
        EXPECT_NE(std::string(e.what()).find(lock.toStdString() + ": "), std::string::npos) << e.what();
    }
    EXPECT_NE(testing::internal::GetCapturedStderr().find(lock.toStdString() + ": "), std::string::npos);
    expectGoodValues();
}

// Savers in separate processes, let loose at once: each takes its turn.
TEST_F(SettingsStoreTest, ConcurrentSavesTakeTurnsAndLoseNothing) {
    // Another program's megabyte makes each save take a while.
    plant(before + after + "[Other]\nData=" + QByteArray(1 << 20, 'y') + "\n");
    constexpr int kSavers = 20;
    int gate[2];
    ASSERT_EQ(pipe(gate), 0);
    std::vector<pid_t> savers;
    for (int i = 0; i < kSavers; ++i) {
        const pid_t child = fork();
        if (child == 0) {
            close(gate[1]);
            char c;
            if (read(gate[0], &c, 1) != 0) _exit(3);  // waits until the gate closes
            SettingsStore store;
            store.setValue("Crowd/Saver" + QString::number(i), QString::number(i));
            try {
                store.save();
            } catch (const SettingsWriteError&) {
                _exit(1);
            }
            _exit(0);
        }
        savers.push_back(child);
    }
    close(gate[0]);
    close(gate[1]);
    int refused = 0;
    for (const pid_t child : savers) {
        int status = 0;
        waitpid(child, &status, 0);
        refused += !(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    EXPECT_EQ(refused, 0);
    expectGoodValues();
    for (int i = 0; i < kSavers; ++i) EXPECT_EQ(text("Crowd/Saver" + QString::number(i)), QString::number(i));
}

// A neighbour that takes the lock again and again, with short pauses between:
// a save still finds a pause and gets its turn.
TEST_F(SettingsStoreTest, ASaveFindsItsTurnBesideABusyNeighbour) {
    plant(before + after);
    const pid_t neighbour = fork();
    if (neighbour == 0) {
        for (;;) {
            QString problem;
            if (auto held = StoreLock::take(file() + ".lock", problem)) {
                std::this_thread::sleep_for(std::chrono::milliseconds(150));
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const std::string failure = saveOne();
    kill(neighbour, SIGKILL);
    waitpid(neighbour, nullptr, 0);
    EXPECT_EQ(failure, "");
    EXPECT_EQ(text("ScribentS/Settings/Analysis1"), "4");
}

}  // namespace
}  // namespace capacimo
