// Sound without a sound card: ALSA's own file and null devices. An .asoundrc
// in the test's HOME makes the listed ALSA device "default" read its capture
// from a file and write what it plays to another file. Such a device is not
// paced in real time; once the capture file is used up it goes on delivering
// its last buffer. Header only.
#pragma once

#include <QDir>
#include <QFile>
#include <QString>

// Writes $HOME/.asoundrc. Call before the process first uses an audio device.
inline bool useAlsaFileDevice(const QString &captureFile, const QString &playbackFile,
                              const QString &home = QDir::homePath())
{
    QFile rc(QDir(home).filePath(QStringLiteral(".asoundrc")));
    if (!rc.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const QString text = QStringLiteral(
        "pcm.!default {\n"
        "  type asym\n"
        "  playback.pcm {\n"
        "    type file\n"
        "    slave.pcm \"null\"\n"
        "    file \"%2\"\n"
        "    format \"raw\"\n"
        "  }\n"
        "  capture.pcm {\n"
        "    type file\n"
        "    slave.pcm \"null\"\n"
        "    file \"/dev/null\"\n"
        "    infile \"%1\"\n"
        "    format \"raw\"\n"
        "  }\n"
        "  hint { show on; description \"Velmar test sound files\" }\n"
        "}\n")
                             .arg(captureFile, playbackFile);
    return rc.write(text.toUtf8()) > 0;
}

// Writes pcm to path.
inline bool writeRaw(const QString &path, const QByteArray &pcm)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(pcm) == pcm.size();
}
