#include "debtors/debtorsound.h"

#include "app/msgbox.h"

#include <QApplication>
#include <QAudioDevice>
#include <QAudioSink>
#include <QFile>
#include <QMediaDevices>
#include <QPointer>
#include <QtEndian>

namespace {
QString& ResourcePathSetting()
{
    static QString path;
    return path;
}

CDebtorSound::PlayObserver& Observer()
{
    static CDebtorSound::PlayObserver observer;
    return observer;
}

quint16 U16(const QByteArray& b, qsizetype at)
{
    return qFromLittleEndian<quint16>(b.constData() + at);
}

quint32 U32(const QByteArray& b, qsizetype at)
{
    return qFromLittleEndian<quint32>(b.constData() + at);
}
} // namespace

CDebtorSound& CDebtorSound::Instance()
{
    // Owned by the application, so the audio output goes before the multimedia back end does.
    static QPointer<CDebtorSound> instance;
    if (!instance)
        instance = new CDebtorSound(QCoreApplication::instance());
    return *instance;
}

QString CDebtorSound::DefaultResourcePath()
{
    return QStringLiteral(":/sound/sound145.wav");
}

void CDebtorSound::SetResourcePath(const QString& path)
{
    ResourcePathSetting() = path;
}

void CDebtorSound::SetPlayObserver(PlayObserver observer)
{
    Observer() = std::move(observer);
}

std::optional<CDebtorSound::Wave> CDebtorSound::ParseWave(const QByteArray& riff)
{
    if (riff.size() < 12 || !riff.startsWith("RIFF") || riff.mid(8, 4) != "WAVE")
        return std::nullopt;
    std::optional<QAudioFormat> format;
    int blockAlign = 0;
    qsizetype at = 12;
    while (at + 8 <= riff.size()) {
        const QByteArray id = riff.mid(at, 4);
        const quint32 size = U32(riff, at + 4);
        const qsizetype body = at + 8;
        if (size > quint32(riff.size() - body))
            return std::nullopt;
        if (id == "fmt ") {
            if (size < 16 || U16(riff, body) != 1) // integer PCM only
                return std::nullopt;
            const int channels = U16(riff, body + 2);
            const quint32 rate = U32(riff, body + 4);
            blockAlign = U16(riff, body + 12);
            const int bits = U16(riff, body + 14);
            QAudioFormat f;
            f.setChannelCount(channels);
            f.setSampleRate(int(rate));
            f.setSampleFormat(bits == 8 ? QAudioFormat::UInt8
                    : bits == 16        ? QAudioFormat::Int16
                    : bits == 32        ? QAudioFormat::Int32
                                        : QAudioFormat::Unknown);
            if (channels < 1 || channels > 8 || rate < 1000 || rate > 384000 || !f.isValid()
                || blockAlign != channels * bits / 8)
                return std::nullopt;
            format = f;
        } else if (id == "data") {
            if (!format || size == 0 || size % quint32(blockAlign) != 0)
                return std::nullopt;
            return Wave { *format, riff.mid(body, qsizetype(size)) };
        }
        at = body + qsizetype(size) + (size & 1);
    }
    return std::nullopt;
}

void CDebtorSound::Play(QWidget* parent)
{
    const QString path = ResourcePathSetting().isEmpty() ? DefaultResourcePath() : ResourcePathSetting();
    QFile file(path);
    if (!file.exists()) {
        app::MessageBox(parent, QStringLiteral("Not Resource"));
        return;
    }
    const std::optional<Wave> wave = file.open(QIODevice::ReadOnly) ? ParseWave(file.readAll()) : std::nullopt;
    if (!wave) {
        app::MessageBox(parent, QStringLiteral(" Not Load"));
        return;
    }
    if (Observer())
        Observer()(wave->format, wave->pcm.size());
    StartSink(*wave);
}

void CDebtorSound::StartSink(const Wave& wave)
{
    StopSink();
    // No device, or one that cannot take the format: the alert stays silent.
    if (QMediaDevices::audioOutputs().isEmpty())
        return;
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull() || !device.isFormatSupported(wave.format))
        return;
    m_pcm = wave.pcm;
    m_buffer.setData(m_pcm);
    if (!m_buffer.open(QIODevice::ReadOnly))
        return;
    m_sink = new QAudioSink(device, wave.format, this);
    connect(m_sink, &QAudioSink::stateChanged, this, [this](QAudio::State state) {
        // Played to the end, or the device went away: let it go.
        if (state == QAudio::IdleState
            || (state == QAudio::StoppedState && m_sink && m_sink->error() != QAudio::NoError))
            StopSink();
    });
    m_sink->start(&m_buffer);
}

void CDebtorSound::StopSink()
{
    if (m_sink) {
        QAudioSink* sink = m_sink;
        m_sink = nullptr;
        sink->disconnect(this);
        sink->stop();
        sink->deleteLater();
    }
    m_buffer.close();
}
