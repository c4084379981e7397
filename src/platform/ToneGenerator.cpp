#include "platform/ToneGenerator.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QMediaDevices>
#include <QtMath>

namespace platform {
namespace {

constexpr int kSampleRate = 22050;
constexpr double kAmplitude = 0.3 * 32767;
constexpr int kFadeSamples = 220;  // 10 ms ramps keep the tone from clicking

QByteArray SineSamples(int frequencyHz, int durationMs) {
    const int count = kSampleRate * durationMs / 1000;
    QByteArray pcm(count * static_cast<int>(sizeof(qint16)), Qt::Uninitialized);
    auto* samples = reinterpret_cast<qint16*>(pcm.data());
    for (int i = 0; i < count; ++i) {
        const double ramp =
            std::min({1.0, double(i) / kFadeSamples, double(count - i) / kFadeSamples});
        const double phase = 2.0 * M_PI * frequencyHz * i / kSampleRate;
        samples[i] = static_cast<qint16>(kAmplitude * ramp * std::sin(phase));
    }
    return pcm;
}

class AudioToneGenerator : public ToneGenerator {
public:
    void Beep(int frequencyHz, int durationMs) override {
        if (frequencyHz <= 0 || durationMs <= 0) return;
        const QAudioDevice device = QMediaDevices::defaultAudioOutput();
        if (device.isNull()) return;  // no audio here: the lamp alone signals
        QAudioFormat format;
        format.setSampleRate(kSampleRate);
        format.setChannelCount(1);
        format.setSampleFormat(QAudioFormat::Int16);
        if (!device.isFormatSupported(format)) return;

        // A new tone cuts the previous one short, as a beeper would.
        sink_.reset();
        buffer_.close();
        buffer_.setData(SineSamples(frequencyHz, durationMs));
        buffer_.open(QIODevice::ReadOnly);
        sink_ = std::make_unique<QAudioSink>(device, format);
        sink_->start(&buffer_);
    }

private:
    QBuffer buffer_;
    std::unique_ptr<QAudioSink> sink_;
};

}  // namespace

std::unique_ptr<ToneGenerator> MakeAudioToneGenerator() {
    return std::make_unique<AudioToneGenerator>();
}

}  // namespace platform
