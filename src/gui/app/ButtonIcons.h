#pragma once

#include <QIcon>

// Small icons drawn in code for the playback and waveform buttons, so the program needs no
// image files for them; ProgramIcon is the program's own icon (packaging/zembrel.svg), built in
// as resources.
QIcon PlayIcon();
QIcon PlayLoopIcon();
QIcon StopIcon();
QIcon ZoomInIcon();
QIcon ZoomOutIcon();
QIcon ZoomOutFullIcon();
QIcon ScrollLeftIcon();
QIcon ScrollRightIcon();
QIcon ProgramIcon();
