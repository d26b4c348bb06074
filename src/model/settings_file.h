// SPDX-License-Identifier: GPL-3.0-or-later
// Settings files (*.st2 and the initial VIREO.sts): 99 lines of four
// hexadecimal digits, one unit image word per line, CR LF line ends.
#pragma once

#include "base/atomic_file.h"
#include "base/result.h"
#include "unit_model.h"

#include <QIODevice>
#include <QString>

namespace vireo {

inline constexpr char DataFileFilter[] = "Data Files (*.st2)|*.st2";

enum class FileErrorCode {
    CannotOpen = 0,
    CannotSave = 1,
    IllegalData = 2,
    CannotOpenInitial = 3,
    IllegalInitial = 4
};

/// The fixed message of a settings-file error ("Cannot open file." ...).
QString FileErrorMessage(FileErrorCode code);
/// The message box text: the message, a blank line, and the file's path;
/// then, when there is one, a blank line and the reason (the system's, or
/// what is wrong with the file's content).
QString FileErrorText(FileErrorCode code, const QString &fileName, const QString &reason = {});

/// What a file that could be read held: a settings file, or illegal data.
enum class LoadStatus { Loaded, Illegal };

/** How a load ended, and for illegal data what is wrong and on which line. */
struct LoadOutcome {
    LoadStatus status = LoadStatus::Loaded;
    QString problem; ///< for illegal data: "Line 17 is not four hexadecimal digits."
    bool operator==(LoadStatus other) const { return status == other; }
};

/// Reads the file into the load buffer and, only when it holds exactly 99 legal
/// lines, commits it into the image. Stops at the first illegal line and never
/// holds more than one line in memory, whatever the file's size. A path that
/// is missing, unreadable or not a regular file (a folder, FIFO or device,
/// which is never opened, so the call never waits) fails with the reason.
Result<LoadOutcome> LoadDataFile(const QString &path, UnitModel &model);
/// The same from an open device (the loader's core, also used by the fuzz target).
Result<LoadOutcome> LoadDataFrom(QIODevice &device, UnitModel &model);

/// Writes the image through the atomic writer (SaveFileAtomically) and marks
/// the document clean only once the file is in place.
Result<> SaveDataFile(const QString &path, UnitModel &model);

/// The file's bytes: each word as four upper-case hex digits and CR LF.
QByteArray SettingsFileText(const UnitWords &image);

} // namespace vireo
