#pragma once

#include "platform.h"

#include <QLockFile>
#include <QRandomGenerator>

#include <memory>

namespace platform {

// The running program as QtCore sees it.
class QtProcess : public Process {
public:
    QString ProgramFolder() const override;
    QString DriveFolder() const override;
    QString StateFolder() const override;
    Version ProgramVersion() const override;
    QString LegalCopyright() const override;
    bool AnotherCopyRunning() override;
    [[noreturn]] void EndProgram() override;
    void Sleep(int milliseconds) override;
    void Randomize() override;
    double Rnd() override;
    QDateTime Now() const override;

private:
    std::unique_ptr<QLockFile> lock_;
    QRandomGenerator random_;
};

} // namespace platform
