#pragma once

#include <QString>

// The folder a file dialog opens in: the one last used for that kind of file, kept across runs
// in the program's settings, or the home folder when none was used yet or it is gone. Never the
// working folder of the process, which is the program's own folder.
enum class FileKind {
    Wav,    // signals: Open and Save
    List,   // the frequency, pn-phase and band lists of the generators' Import
    Export, // images of the charts and the analyser's levels
};

QString FileDialogFolder(FileKind kind);

// Remembers the folder of chosenFile for kind; an empty name (a cancelled dialog) changes
// nothing.
void RememberFileDialogFolder(FileKind kind, const QString& chosenFile);
