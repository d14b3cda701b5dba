#pragma once

#include <QString>

#include <stdexcept>

// A run-time error with the classic number and description. Procedures that
// handle their own failures catch it and log "number: description".
class RunTimeError : public std::runtime_error {
public:
    RunTimeError(int number, const QString& description)
        : std::runtime_error(description.toStdString()), number_(number),
          description_(description) {}

    int Number() const { return number_; }
    const QString& Description() const { return description_; }

private:
    int number_;
    QString description_;
};

// The numbers in use, after the classic run-time numbering.
namespace ErrNo {
inline constexpr int SubscriptOutOfRange = 9;
// As the shell's own "no association" answer numbers it.
inline constexpr int NoAssociation = 31;
inline constexpr int TypeMismatch = 13;
inline constexpr int FileNotFound = 53;
inline constexpr int DiskFull = 61;
inline constexpr int InputPastEnd = 62;
inline constexpr int PermissionDenied = 70;
inline constexpr int PathFileAccess = 75;
inline constexpr int PathNotFound = 76;
} // namespace ErrNo
