#pragma once

#include <QString>

#include <atomic>

// The client's one configuration record: built-in identity and addresses, the skin settings kept in
// config.ini, and the advertisement settings that the server's configuration replaces each run.
// Fields are read and written directly; see `clientConfig`.
class ClientConfig final
{
public:
    ClientConfig();

    Q_DISABLE_COPY_MOVE(ClientConfig)

    // Reads the "Skin" group of `path` (empty: config.ini in the current folder) into the skin fields
    // and makes `path` the target of later saves. A missing file or key yields empty texts and index 0.
    bool load(const QString &path);
    // The settings file to load and save: "config.ini" in `programFolder` when it can be written there,
    // otherwise the same name in `userFolder`, seeded from the program folder's copy on first use so
    // the shipped skin settings still apply. Falls back to the program folder's file (read, never
    // saved) when the user folder cannot be written either.
    static QString settingsFile(const QString &programFolder, const QString &userFolder);
    // Writes all eleven skin keys to `configPath`; false when the file could not be written.
    bool save();

    QString configPath;
    // Set once the server configuration fetch has ended, successful or not; never cleared. Only the GUI
    // thread writes it: the fetch thread hands its reply over before the flag is set.
    std::atomic_bool serverInfoReady{false};

    const QString productName;
    const QString appVersion;
    const QString serverConfigUrl;
    const QString pageUrl1;
    const QString pageUrl2;
    const QString pageUrl3;
    const QString pageUrl4;

    QString bannerADUrl;
    QString textADStr;
    QString textADLink;
    int textADSpeed = 5;

    QString skinPicFolder;
    QString skinFName1;
    QString skinFName2;
    QString skinFName3;
    QString skinFName4;
    QString skinFName5;
    QString skinFName6;
    QString skinFName7;
    QString skinFName8;
    QString skinFName9;
    int currentSkinIndex = 1;

    int popDelayTime = 180;
    int popstayTime = 60;
    int popPeriod = 0;
    QString popUrl;

private:
    QString *skinFName(int index);
};

// The process-wide record: created by start-up before the main window, freed by the main window.
extern ClientConfig *clientConfig;
