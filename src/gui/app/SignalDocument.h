#pragma once

#include <QObject>
#include <QString>

#include <memory>

class QWidget;

namespace zembrel {
class SignalBase;
}

// The one owner of the current signal and of the temporary playback file that holds its last
// committed state. Nothing else assigns the current signal: every change goes through Commit,
// CommitFilled or Restore, so that memory, file and view agree after each of them.
//
// A commit writes the playback file first; only then is the new signal taken, Changed tells the
// views, and StatusSet / CaptionSet carry the texts of the notice. A generator fills the current
// signal in place (the main window clears it before the dialog opens, so no second copy is
// held); its commit is CommitFilled, its Cancel is Restore.
class SignalDocument : public QObject {
    Q_OBJECT

public:
    explicit SignalDocument(QString tempFileName, QObject* parent = nullptr);
    ~SignalDocument() override;

    // Null only before the first commit.
    zembrel::SignalBase* Signal() const { return signal_.get(); }
    const QString& TempFileName() const { return tempFileName_; }

    // What the window shows once a commit has taken the new signal; a null text leaves the
    // status line or the caption as it is.
    struct Notice {
        QString Status;
        QString Caption;
    };

    // Makes fresh the current signal. When the playback file cannot be written the reason is
    // shown on parent, followed by kept (what the user keeps instead), the current signal stays
    // as it was and the result is false.
    bool Commit(zembrel::SignalBase&& fresh, const Notice& notice, QWidget* parent,
                const QString& kept = QString());

    // Commits the current signal as a generator has filled it in place. When the playback file
    // cannot be written the new signal is dropped and the previous one read back from the file;
    // one message on parent says both what failed and what the signal is now.
    bool CommitFilled(const Notice& notice, QWidget* parent);

    // Hands the current signal to a generator: its samples become silent, its format stays. The
    // view and the playback file keep the committed signal until the generator commits
    // (CommitFilled) or gives up (Restore).
    void ClearForGenerator();

    // What Restore did. When the file could not be read, the signal is silent in its format
    // (shown and written so), and Failure says so in lines ready for a message.
    struct Restored {
        bool Ok = true;
        QString Failure;
    };

    // Reads the playback file back into the current signal, in place. The view is not redrawn
    // when it worked: it still shows what the file holds.
    Restored Restore();

signals:
    void Changed(const zembrel::SignalBase* signal);
    void StatusSet(const QString& text);
    void CaptionSet(const QString& caption);

private:
    // Writes signal to the playback file; the reason when that failed, else an empty string.
    QString Write(const zembrel::SignalBase& signal) const;
    void Announce(const Notice& notice);

    QString tempFileName_;
    std::unique_ptr<zembrel::SignalBase> signal_;
};
