// Files on disk, setup files for one: what is no file is refused without
// blocking, a large file without being read, and a write is complete or
// leaves the old file.
#include "common/safe_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <filesystem>
#include <functional>
#include <random>

#include "calculator/files/setup_file.h"

namespace capacimo {
namespace {

// A setup file as the programs read it, before its text is judged.
FileRead readSetupFile(const QString& file) { return readWholeFile(file, kSetupKind, kSetupFileLimit); }

class SafeFileTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString path(const char* name) const { return dir.filePath(name); }
    static QByteArray raw(const QString& file) {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // The error must name the file first.
    static void expectRefused(const FileRead& result, const QString& file, const char* reason) {
        EXPECT_FALSE(result.ok());
        const std::string start = (file + ": ").toStdString();
        EXPECT_EQ(result.error.substr(0, start.size()), start) << result.error;
        EXPECT_NE(result.error.find(reason), std::string::npos) << result.error;
    }
    QTemporaryDir dir;
    const std::string text = writeSetupText(defaultEntries(), "Recorder 3");
};

// Runs a write in a child process, as an ordinary user even when the tests run
// as root (whose rights ignore file modes), after prepare(). The write's error.
bool writeFailsInChild(const QString& home, const QString& file, const std::function<void()>& prepare) {
    const uid_t nobody = 65534;
    if (geteuid() == 0) {
        if (chown(home.toLocal8Bit().constData(), nobody, nobody) != 0) return false;
        if (chown(file.toLocal8Bit().constData(), nobody, nobody) != 0) return false;
    }
    const pid_t child = fork();
    if (child < 0) return false;
    if (child == 0) {
        if (geteuid() == 0 && (setgid(nobody) != 0 || setuid(nobody) != 0)) _exit(2);
        prepare();
        const QString error = writeWholeFile(file, writeSetupText(defaultEntries(), std::string(2000, 'n')));
        _exit(error.startsWith(file + ": ") ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST_F(SafeFileTest, AWrittenFileReadsBack) {
    const QString file = path("boiler.capacimo");
    ASSERT_EQ(writeWholeFile(file, text), "");
    const FileRead bytes = readSetupFile(file);
    const SetupReadResult read = readSetupText(bytes.bytes);
    ASSERT_TRUE(read.setup) << bytes.error << read.error;
    EXPECT_EQ(read.setup->name, "Recorder 3");
    EXPECT_EQ(raw(file).toStdString(), text);
    // A file replaced keeps its permissions.
    ASSERT_EQ(chmod(file.toLocal8Bit().constData(), 0640), 0);
    ASSERT_EQ(writeWholeFile(file, text), "");
    struct stat written {};
    ASSERT_EQ(stat(file.toLocal8Bit().constData(), &written), 0);
    EXPECT_EQ(written.st_mode & 07777, 0640u);
    ASSERT_TRUE(QFile(file).resize(0));
    const FileRead empty = readSetupFile(file);
    EXPECT_TRUE(empty.ok() && empty.bytes.empty()) << empty.error;
    EXPECT_NE(readSetupText(empty.bytes).error.find("not valid JSON"), std::string::npos);
}

// A file name that is not UTF-8 names the same file all the way through.
TEST_F(SafeFileTest, ANameThatIsNoUtf8KeepsItsBytes) {
    std::mt19937 random(20);
    std::vector<std::string> names = {"\xFF",     "caf\xE9",      "\xED\xA0\x80",
                                      "\xC0\xAF", "\xF0\x9F\x93", "\xE2\x82\xAC\x80"};
    for (int i = 0; i < 500; ++i) {
        std::string bytes(std::uniform_int_distribution<std::size_t>(1, 12)(random), ' ');
        for (char& c : bytes) c = static_cast<char>(std::uniform_int_distribution<int>(1, 255)(random));
        names.push_back(bytes);
    }
    for (const std::string& name : names) EXPECT_EQ(fileNameBytes(fileNameFromBytes(name.c_str())), name);
    EXPECT_EQ(fileNameFromBytes("K\xC3\xBC\xF0\x9F\x93\x88"), QString::fromUtf8("K\xC3\xBC\xF0\x9F\x93\x88"));

    const std::string name = dir.path().toStdString() + "/Kessel \xFC\xFF.capacimo";
    const QString file = fileNameFromBytes(name.c_str());
    ASSERT_EQ(writeWholeFile(file, text), "");
    const auto files = std::filesystem::directory_iterator(dir.path().toStdString());
    EXPECT_EQ(std::distance(begin(files), end(files)), 1);
    EXPECT_TRUE(std::filesystem::is_regular_file(name));
    const FileRead read = readSetupFile(file);
    EXPECT_TRUE(read.ok() && readSetupText(read.bytes).setup) << read.error;
    std::filesystem::remove(name);  // which QTemporaryDir cannot name
}

TEST_F(SafeFileTest, WhatIsNoSetupFileIsRefusedUnread) {
    expectRefused(readSetupFile(path("missing.capacimo")), path("missing.capacimo"), "no such file");
    expectRefused(readSetupFile(dir.path()), dir.path(), "directory");

    const QString fifo = path("pipe.capacimo");
    ASSERT_EQ(mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    expectRefused(readSetupFile(fifo), fifo, "pipe");  // would block forever if it were opened

    const QString device = path("zero.capacimo");
    ASSERT_TRUE(QFile::link("/dev/zero", device));
    expectRefused(readSetupFile(device), device, "device");

    // Larger than any setup: refused after reading one byte more than the limit.
    const QString big = path("big.capacimo");
    QFile f(big);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_TRUE(f.write(QByteArray::fromStdString(text)));
    ASSERT_TRUE(f.resize(qint64{64} << 20));  // sparse: 64 MiB of zeros after the setup
    f.close();
    expectRefused(readSetupFile(big), big, "larger than 1048576 bytes");
}

TEST_F(SafeFileTest, AWriteNeverReplacesOrFollowsWhatIsNoPlainFile) {
    const QString subdir = path("sub.capacimo");
    ASSERT_TRUE(QDir().mkpath(subdir));
    EXPECT_TRUE(writeWholeFile(subdir, text).startsWith(subdir + ": "));
    EXPECT_TRUE(QFileInfo(subdir).isDir());

    const QString target = path("target.capacimo");
    ASSERT_EQ(writeWholeFile(target, "old\n"), "");
    const QString link = path("link.capacimo");
    ASSERT_TRUE(QFile::link(target, link));
    EXPECT_TRUE(writeWholeFile(link, text).contains("symbolic link"));
    EXPECT_EQ(raw(target), "old\n");
    EXPECT_TRUE(QFileInfo(link).isSymLink());

    const QString zero = path("zero.capacimo");
    ASSERT_TRUE(QFile::link("/dev/zero", zero));
    EXPECT_TRUE(writeWholeFile(zero, text).startsWith(zero + ": "));
    EXPECT_EQ(QFileInfo(zero).symLinkTarget(), "/dev/zero");
}

TEST_F(SafeFileTest, AFailedWriteLeavesTheOldFileWhole) {
    const QString file = path("kept.capacimo");
    ASSERT_EQ(writeWholeFile(file, text), "");
    // A full disk: files may not grow beyond 1 KiB, so the write fails with EFBIG as it would with ENOSPC.
    EXPECT_TRUE(writeFailsInChild(dir.path(), file, [] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{1024, 1024};
        setrlimit(RLIMIT_FSIZE, &limit);
    }));
    EXPECT_EQ(raw(file).toStdString(), text);
    const QString folder = dir.path();
    EXPECT_TRUE(writeFailsInChild(dir.path(), file, [folder] { chmod(folder.toLocal8Bit().constData(), 0500); }));
    chmod(folder.toLocal8Bit().constData(), 0700);
    EXPECT_EQ(raw(file).toStdString(), text);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 1) << "a temporary file was left behind";
}

}  // namespace
}  // namespace capacimo
