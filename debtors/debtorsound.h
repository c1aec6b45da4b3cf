#pragma once

#include <QAudioFormat>
#include <QBuffer>
#include <QByteArray>
#include <QObject>

#include <functional>
#include <optional>

class QAudioSink;
class QWidget;

// The debtor alert sound: a RIFF PCM file carried in the program, played from memory in the background.
// Without an audio device it stays silent; only missing or unreadable data is reported to the user.
class CDebtorSound final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CDebtorSound)
public:
    static CDebtorSound& Instance();

    // Starts the sound and returns at once; a sound still playing is replaced.
    void Play(QWidget* parent);

    struct Wave {
        QAudioFormat format;
        QByteArray pcm;
    };
    // The format and samples of a RIFF WAVE file of integer PCM; nothing when it is not one.
    static std::optional<Wave> ParseWave(const QByteArray& riff);

    static QString DefaultResourcePath();
    // Test seams: where the sound is read from (empty for the program's own), and an observer told of
    // every sound handed to playback, whether or not a device plays it.
    static void SetResourcePath(const QString& path);
    using PlayObserver = std::function<void(const QAudioFormat& format, qsizetype bytes)>;
    static void SetPlayObserver(PlayObserver observer);

private:
    using QObject::QObject;
    void StartSink(const Wave& wave);
    void StopSink();

    QAudioSink* m_sink = nullptr;
    QBuffer m_buffer;
    QByteArray m_pcm;
};
