// SPDX-License-Identifier: GPL-3.0-or-later
// Shared pieces of the command-line tool: exit statuses, the two output
// streams, messages on standard error, the command objects and loading a
// settings file the way the window does.
#pragma once

#include "command_line.h"

#include "model/editor_controls.h"
#include "model/field_binding.h"
#include "model/image_compare.h"
#include "model/settings_file.h"
#include "model/unit_model.h"
#include "profile/profile_store.h"
#include "profile/program_options.h"
#include "profile/serial_devices.h"

#include <QJsonArray>
#include <QStringList>
#include <QTextStream>

#include <array>
#include <memory>
#include <optional>
#include <vector>

namespace vireo::cli {

// Exit statuses; only the program's entry turns a command's result into one.
// A clone run's own statuses (10..19, 130) come from CloneExitStatus. diff and
// compare answer as other comparison tools do: 1 different, and a wrong call
// is trouble (2) there, never to be taken for "different".
enum Exit { ExitOk = 0, ExitUsage = 1, ExitDifferent = 1, ExitFile = 2, ExitVerify = 4 };

/// Standard output and standard error, or what an OutputCapture puts in their place.
QTextStream &Out();
QTextStream &Err();

/** Takes everything the commands print while it lives (for running them in-process). */
class OutputCapture {
  public:
    OutputCapture();
    ~OutputCapture();
    OutputCapture(const OutputCapture &) = delete;
    OutputCapture &operator=(const OutputCapture &) = delete;
    QString Out();
    QString Err();

  private:
    QString m_out, m_err;
    QTextStream m_outStream{&m_out}, m_errStream{&m_err};
    QTextStream *m_oldOut, *m_oldErr;
};

/// Prints what differs between two images, one line each, as diff and compare list it.
void PrintDifferences(const std::vector<ImageDifference> &differences);

/// Prints a settings-file error with its path (and the system's reason); returns ExitFile.
int FileError(FileErrorCode code, const QString &path, const QString &reason = {});

/** A unit model with its editor, loaded and shown as the window would. */
struct Editor {
    UnitModel model;
    MemoryEditorControls controls;
    FieldBinding binding{model, controls};

    Editor() { binding.FillConfigLists(); }
    /// Loads the file and normalises it; ExitOk or ExitFile (message printed).
    int Load(const QString &path);
};

/** What the commands take from the profile, read as the program reads it. */
struct ProfileView {
    QString path;         ///< the profile file in use
    QString readFallback; ///< where its options are read from while it does not exist yet
    ProgramOptions options;
    std::array<QString, ComPortCount> devices; ///< the device behind COM1 to COM4
};
/// Reads the named profile (or the usual one). The one place the tool uses
/// the profile file class.
ProfileView ReadProfile(const std::optional<QString> &profileFile);

/// --profile FILE, for every command that reads the profile.
QCommandLineOption ProfileOption();
/// ExitOk when no profile is named or the one named exists (and is no folder);
/// otherwise prints why not and returns ExitFile.
int CheckProfileFile(const std::optional<QString> &path);
/// The profile named by --profile, if any.
std::optional<QString> NamedProfile(const QCommandLineParser &parser);
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

/**
 * One vireo-cli command: its options and arguments (with --help built from
 * them) and what it does with them. Run() parses, then calls Execute().
 */
class Command {
  public:
    virtual ~Command() = default;
    QString Name() const { return m_name; }
    /// The line that names the command in the program's help.
    QString Summary() const { return m_summary; }
    /// Runs the command on the words after its name; returns the exit status.
    int Run(const QStringList &args);

  protected:
    Command(const QString &name, const QString &summary);
    virtual int Execute(const QCommandLineParser &parser) = 0;
    /// Prints the message and the usage line; returns the status of a wrong call.
    int WrongCall(const QString &message) const;

    tool::CommandSyntax m_syntax;

  private:
    QString m_name;
    QString m_summary;
};

std::unique_ptr<Command> MakeShowCommand();
std::unique_ptr<Command> MakeSetCommand();
std::unique_ptr<Command> MakeConfigCommand();
std::unique_ptr<Command> MakeReadCommand();
std::unique_ptr<Command> MakeWriteCommand();
std::unique_ptr<Command> MakePortsCommand();
std::unique_ptr<Command> MakeDiffCommand();
std::unique_ptr<Command> MakeCompareCommand();

/// Every command, in the order the program's help lists them.
std::vector<std::unique_ptr<Command>> AllCommands();

/// ExitOk when every argument is UTF-8 text, as the file system's names are
/// read here; otherwise ExitFile after naming the argument. A name in another
/// encoding (Latin-1 from an old archive) would reach the file system as a
/// different name, and so read or write a different file than the one meant.
int RefuseUndecodableArguments(int argc, const char *const argv[]);

/// vireo-cli on its arguments (without the program name): --help, --version
/// or a command; returns the exit status.
int RunProgram(const QStringList &args);

} // namespace vireo::cli
