#pragma once

#include "fakes.h"

#include <QStringList>
#include <QTemporaryDir>

// One test case's world: private temporary folders for the program, the
// "drive", the settings and the work, the fakes installed, fresh globals.
class TestEnv {
public:
    explicit TestEnv(int logLevel = 4);
    ~TestEnv();
    TestEnv(const TestEnv&) = delete;
    TestEnv& operator=(const TestEnv&) = delete;

    // Folders, without a trailing separator.
    QString root() const { return dir_.path(); }
    QString programFolder() const { return root() + "/program"; }
    QString driveFolder() const { return root() + "/drive"; }
    QString workFolder() const { return root() + "/work"; }
    QString downloadFolder() const { return root() + "/downloads"; }

    // A path below the work folder; writes a file (folders made as needed).
    QString work(const QString& relative) const { return workFolder() + "/" + relative; }
    QString writeFile(const QString& path, const QByteArray& content) const;

    // The log's messages, without their date-time stamps.
    QStringList logMessages() const;
    QString logPath() const { return programFolder() + "/Brushwick2.log"; }

    // A small pack with texts the tests can recognise, loaded as CurLang.
    void useTestLanguage();
    // Copies the shipped packs and read-mes (langs/ of the source tree) into
    // the program folder; with names given, only the packs named so.
    void installShippedPacks(const QStringList& only = {}) const;

    fakes::Prompts prompts;
    fakes::Status status;
    fakes::Shell shell;
    fakes::Process process;
    fakes::Settings settings;

private:
    QTemporaryDir dir_;
};

// The texts of the test language, for assertions.
namespace testlang {
inline const char* Processing = "Working";
inline const char* Done = "Done!";
inline const char* StillProc = "Still working";
} // namespace testlang
