// SPDX-License-Identifier: GPL-3.0-or-later
// Shared pieces of the command-line tool: exit statuses, messages on standard
// error, and loading a settings file the way the window does.
#pragma once

#include "model/editor_controls.h"
#include "model/field_binding.h"
#include "model/settings_file.h"
#include "model/unit_model.h"
#include "profile/profile_store.h"

#include <QJsonArray>
#include <QStringList>
#include <QTextStream>

#include <optional>

namespace vireo::cli {

// Exit statuses; only main() turns a command's result into one.
enum Exit { ExitOk = 0, ExitUsage = 1, ExitFile = 2, ExitVerify = 4, ExitCloneBase = 10 };

QTextStream &Out();
QTextStream &Err();

/// Prints the message and the usage line of a command; returns ExitUsage.
int UsageError(const QString &message, const QString &usage);
/// Prints a settings-file error with its path (and the system's reason); returns ExitFile.
int FileError(FileErrorCode code, const QString &path, const QString &reason = {});

/** A unit model with its editor, loaded and shown as the window would. */
struct Editor {
    UnitModel model;
    MemoryEditorControls controls;
    FieldBinding binding{model, controls};

    Editor() { binding.FillConfig2Lists(); }
    /// Loads the file and normalises it; ExitOk or ExitFile (message printed).
    int Load(const QString &path);
};

/// Takes "--profile FILE" (or "--profile=FILE") out of the arguments, for every
/// command that reads the profile; ExitOk, ExitUsage when FILE is not given or
/// ExitFile when it is no file (message printed). Open the profile with
/// OpenProfile(profileFile).
int TakeProfileOption(QStringList &args, std::optional<QString> &profileFile, const QString &usage);
/// ExitOk when a profile named on the command line exists (and is no folder);
/// otherwise prints why not and returns ExitFile.
int CheckProfileFile(const QString &path);
/// Reads the profile's status and, when it is not read whole (too large,
/// unreadable), says so on standard error.
ProfileReadStatus ReportProfileRead(const QString &path);

/// A JSON array of the texts.
template <typename Texts> QJsonArray JsonTexts(const Texts &texts)
{
    QJsonArray array;
    for (const QString &text : texts)
        array.append(text);
    return array;
}

/// A JSON array of the numbers.
template <typename Numbers> QJsonArray JsonNumbers(const Numbers &numbers)
{
    QJsonArray array;
    for (auto n : numbers)
        array.append(static_cast<int>(n));
    return array;
}

/// A command: its arguments after the command word; returns the exit status.
using Command = int (*)(const QStringList &args);

int RunShow(const QStringList &args);
int RunSet(const QStringList &args);
int RunConfig(const QStringList &args);
int RunRead(const QStringList &args);
int RunWrite(const QStringList &args);
int RunPorts(const QStringList &args);
int RunDiff(const QStringList &args);

} // namespace vireo::cli
