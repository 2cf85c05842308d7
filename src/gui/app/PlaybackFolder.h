#pragma once

#include <QString>

#include <memory>

class QTemporaryDir;

// The private folder of one run that holds the temporary playback file "$$zembrel$$.wav".
//
// It is made inside the folder named by TEMP, or inside the system's temporary folder when TEMP
// is unset or unusable, under a fresh random name with owner-only permissions: two running
// copies never share a playback file, and no other local user can plant a link in its place.
// The folder goes, with everything in it, when Remove() is called or the object is destroyed.
class PlaybackFolder {
public:
    static constexpr const char* kFileName = "$$zembrel$$.wav";

    // Throws std::runtime_error when no folder can be made.
    PlaybackFolder();
    ~PlaybackFolder();

    PlaybackFolder(const PlaybackFolder&) = delete;
    PlaybackFolder& operator=(const PlaybackFolder&) = delete;

    QString Path() const;     // the folder, absolute
    QString FilePath() const; // the playback file inside it

    // Deletes the folder and its contents; returns false when something could not be removed.
    bool Remove();

private:
    std::unique_ptr<QTemporaryDir> dir_;
};
