#pragma once

#include <QIcon>

// Small icons drawn in code for the playback and waveform buttons and the window, so the
// program needs no image files.
QIcon PlayIcon();
QIcon PlayLoopIcon();
QIcon StopIcon();
QIcon ZoomInIcon();
QIcon ZoomOutIcon();
QIcon ZoomOutFullIcon();
QIcon ScrollLeftIcon();
QIcon ScrollRightIcon();
QIcon ProgramIcon();
