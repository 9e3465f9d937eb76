#pragma once

#include "DeviceReporter.h"
#include "KelmData.h"

#include <QDateTime>
#include <QString>

#include <functional>

class KelmLink;

// The device commands: each opens the link, works with the unit, reports
// through the reporter and closes the link on every way out. They return 0
// on success, Aborted when the user chose not to write, BackupFailed, or the
// number of the text that reported the failure.
class DeviceCommands
{
public:
    static constexpr int Aborted = 1;
    // The backup could not be saved (a file-system error, no text number).
    static constexpr int BackupFailed = 2;

    // dataDirectory: the folder that holds Backups/ (the program data directory).
    DeviceCommands(KelmLink &link, DeviceReporter &reporter, const QString &dataDirectory);

    // The clock used for backup names; local time unless a test sets one.
    void SetClock(std::function<QDateTime()> now) { m_now = std::move(now); }

    // Reads the unit into data.ReadBackImage and, when its product type is
    // right, shows it and takes it into data.EditedImage with origin 3. The
    // caller has run New first.
    int ReadFromDevice(KelmData &data);

    // Writes data.EditedImage, already packed from the window with origin 4,
    // merging in the unit's own bytes. timeScheduleChecked: the window's
    // time-schedule check box.
    int WriteToDevice(KelmData &data, bool timeScheduleChecked);

    // Writes a saved image back (data.EditedImage): like WriteToDevice, but
    // bytes 0..13 and the clock stamp come from the saved image and are
    // written; only the factory area comes from the unit.
    int RestoreToDevice(KelmData &data);

    // Changes the unit's five radio codes in the unit's own image; of data,
    // only ReadBackImage (bytes 0..13) is used, for the verification.
    int ChangeDeviceRadioCodes(KelmData &data);

    // The folder that backups go to, and where the last one was saved (empty
    // when the last command saved none).
    QString BackupFolder() const;
    QString LastBackup() const { return m_lastBackup; }

private:
    enum class WriteMode { Configure, Restore };

    int WriteImage(KelmData &data, WriteMode mode, bool timeScheduleChecked);
    // A failure that ends a command: link closed, cursor back, then the text
    // in the status bar and an error box. Returns the text number.
    int Fail(int textNumber);
    // Busy cursor, open, presence, then the command's status text; 0, or the
    // failure already reported.
    int Connect(int statusText);
    void Finish();
    // Reads the unit's whole image and keeps it in Backups/. 0 or the text
    // number of the failure, already reported.
    int BackUpUnit();
    int SaveBackup(const ImageBuffer &image);

    // Block transfers in 16-byte blocks, reporting progress after each.
    void BeginProgress(int blocks);
    int ReadRange(ImageBuffer &image, int first, int last);
    int WriteRange(const ImageBuffer &image, int first, int last);

    KelmLink &m_link;
    DeviceReporter &m_reporter;
    QString m_dataDirectory;
    std::function<QDateTime()> m_now;
    QString m_lastBackup;
    int m_blocksDone = 0;
    int m_blocksTotal = 0;
};
