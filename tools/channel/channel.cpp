#include "channel.h"

#include <opencore-amrnb/interf_dec.h>
#include <opencore-amrnb/interf_enc.h>
#include <sndfile.h>
#include <soxr.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <numbers>
#include <stdexcept>
// liquid.h declares its complex types from <complex> when compiled as C++.
#include <liquid/liquid.h>

#include "_2GL.h"
#include "_5FormFM.h"
#include "_8_CRC.h"
#include "arraylayout.h"
#include "chartsink.h"

namespace zk::channel {

namespace {

constexpr double kPi = std::numbers::pi;

// A chain of liquid-dsp filters, normalised to unit gain at the carrier.
class Filters {
  public:
    Filters(const Channel& c) {
        const double fs = c.rate;
        if (c.voiceBand) {
            Add(iirfilt_rrrf_create_prototype(LIQUID_IIRDES_BUTTER, LIQUID_IIRDES_HIGHPASS,
                                              LIQUID_IIRDES_SOS, 2, float(300 / fs), 0, 1, 60));
            Add(iirfilt_rrrf_create_prototype(LIQUID_IIRDES_BUTTER, LIQUID_IIRDES_LOWPASS,
                                              LIQUID_IIRDES_SOS, 4, float(3000 / fs), 0, 1, 60));
        }
        if (c.tiltDbPerOctave > 0) {
            // A first difference: gain rising with frequency, 6 dB an octave.
            float b[2] = {1.0f, -1.0f};
            float a[1] = {1.0f};
            Add(iirfilt_rrrf_create(b, 2, a, 1));
        } else if (c.tiltDbPerOctave < 0) {
            // One pole at 100 Hz: 6 dB an octave down over the whole voice band.
            const auto alpha = float(1 - std::exp(-2 * kPi * 100 / fs));
            float b[1] = {alpha};
            float a[2] = {1.0f, alpha - 1.0f};
            Add(iirfilt_rrrf_create(b, 1, a, 2));
        }
        double gain = 1;
        for (auto* f : filters_) {
            std::complex<float> h{};
            iirfilt_rrrf_freqresponse(f, float(kCarrierHz / fs), &h);
            gain *= std::abs(h);
        }
        scale_ = float(1 / gain);
    }
    ~Filters() {
        for (auto* f : filters_) {
            iirfilt_rrrf_destroy(f);
        }
    }
    Filters(const Filters&) = delete;
    Filters& operator=(const Filters&) = delete;

    void Run(std::vector<float>& x) {
        for (auto* f : filters_) {
            iirfilt_rrrf_execute_block(f, x.data(), unsigned(x.size()), x.data());
        }
        if (!filters_.empty()) {
            for (float& v : x) {
                v *= scale_;
            }
        }
    }

  private:
    void Add(iirfilt_rrrf f) { filters_.push_back(f); }
    std::vector<iirfilt_rrrf> filters_;
    float scale_ = 1;
};

std::vector<float> Resample(std::span<const float> in, double from, double to) {
    if (from == to) {
        return {in.begin(), in.end()};
    }
    std::vector<float> out(static_cast<std::size_t>(std::ceil(in.size() * to / from)) + 16);
    std::size_t done = 0;
    const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
    const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_HQ, 0);
    soxr_error_t error = soxr_oneshot(from, to, 1, in.data(), in.size(), nullptr, out.data(),
                                      out.size(), &done, &io, &quality, nullptr);
    if (error != nullptr) {
        throw std::runtime_error(error);
    }
    out.resize(done);
    return out;
}

// Every frequency moved up by `hz`: the analytic signal (liquid-dsp's Hilbert transform) turned
// by a phasor, its real part kept. The transform's delay is taken back out.
std::vector<float> Shift(const std::vector<float>& x, double hz, double rate) {
    constexpr unsigned kSemiLength = 40;
    constexpr unsigned kDelay = 2 * kSemiLength;
    firhilbf hilbert = firhilbf_create(kSemiLength, 80.0f);
    std::vector<float> out(x.size(), 0.0f);
    for (std::size_t i = 0; i < x.size() + kDelay; ++i) {
        std::complex<float> y{};
        firhilbf_r2c_execute(hilbert, i < x.size() ? x[i] : 0.0f, &y);
        if (i >= kDelay) {
            const std::size_t n = i - kDelay;
            const double phase = 2 * kPi * hz * double(n) / rate;
            out[n] = float((std::complex<double>(y) * std::polar(1.0, phase)).real());
        }
    }
    firhilbf_destroy(hilbert);
    return out;
}

// A GSM 06.10 encoder and decoder in a row: libsndfile writes the sound into a GSM WAV file in
// memory and reads it back.
struct MemoryFile {
    std::vector<unsigned char> bytes;
    sf_count_t at = 0;
};

std::vector<float> GsmRoundTrip(const std::vector<float>& x8000) {
    SF_VIRTUAL_IO io{};
    io.get_filelen = [](void* user) -> sf_count_t {
        return sf_count_t(static_cast<MemoryFile*>(user)->bytes.size());
    };
    io.seek = [](sf_count_t offset, int whence, void* user) -> sf_count_t {
        auto* f = static_cast<MemoryFile*>(user);
        const sf_count_t base = whence == SEEK_SET   ? 0
                                : whence == SEEK_CUR ? f->at
                                                     : sf_count_t(f->bytes.size());
        f->at = base + offset;
        return f->at;
    };
    io.read = [](void* out, sf_count_t count, void* user) -> sf_count_t {
        auto* f = static_cast<MemoryFile*>(user);
        const sf_count_t left = std::max<sf_count_t>(0, sf_count_t(f->bytes.size()) - f->at);
        const sf_count_t n = std::min(count, left);
        std::copy_n(f->bytes.begin() + f->at, n, static_cast<unsigned char*>(out));
        f->at += n;
        return n;
    };
    io.write = [](const void* in, sf_count_t count, void* user) -> sf_count_t {
        auto* f = static_cast<MemoryFile*>(user);
        if (f->bytes.size() < std::size_t(f->at + count)) {
            f->bytes.resize(std::size_t(f->at + count));
        }
        std::copy_n(static_cast<const unsigned char*>(in), count, f->bytes.begin() + f->at);
        f->at += count;
        return count;
    };
    io.tell = [](void* user) -> sf_count_t { return static_cast<MemoryFile*>(user)->at; };

    MemoryFile file;
    SF_INFO info{};
    info.samplerate = 8000;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_GSM610;
    SNDFILE* out = sf_open_virtual(&io, SFM_WRITE, &info, &file);
    if (out == nullptr) {
        throw std::runtime_error(sf_strerror(nullptr));
    }
    sf_writef_float(out, x8000.data(), sf_count_t(x8000.size()));
    sf_close(out);
    file.at = 0;
    SF_INFO readInfo{};
    SNDFILE* in = sf_open_virtual(&io, SFM_READ, &readInfo, &file);
    if (in == nullptr) {
        throw std::runtime_error(sf_strerror(nullptr));
    }
    std::vector<float> y(x8000.size(), 0.0f);
    y.resize(std::size_t(sf_readf_float(in, y.data(), sf_count_t(y.size()))));
    sf_close(in);
    return y;
}

// The AMR narrow-band encoder and decoder in a row, 20 ms frames of 160 samples at 8000 Hz.
std::vector<float> AmrRoundTrip(const std::vector<float>& x8000, int mode) {
    constexpr std::size_t kFrame = 160;
    void* encoder = Encoder_Interface_init(0);
    void* decoder = Decoder_Interface_init();
    std::vector<float> y;
    std::array<short, kFrame> in{};
    std::array<short, kFrame> out{};
    std::array<unsigned char, 64> coded{};
    for (std::size_t at = 0; at < x8000.size(); at += kFrame) {
        for (std::size_t i = 0; i < kFrame; ++i) {
            const float v = at + i < x8000.size() ? x8000[at + i] : 0.0f;
            in[i] = static_cast<short>(std::lround(std::clamp(v, -1.0f, 1.0f) * 32767));
        }
        Encoder_Interface_Encode(encoder, static_cast<Mode>(mode), in.data(), coded.data(), 0);
        Decoder_Interface_Decode(decoder, coded.data(), out.data(), 0);
        for (const short v : out) {
            y.push_back(float(v) / 32768.0f);
        }
    }
    Encoder_Interface_exit(encoder);
    Decoder_Interface_exit(decoder);
    y.resize(x8000.size());
    return y;
}

}  // namespace

Bytes RandomArray(std::mt19937_64& random) {
    Bytes bytes{};
    std::copy(kTransferHeader.begin(), kTransferHeader.end(), bytes.begin());
    for (std::size_t i = 4; i < bytes.size(); ++i) {
        bytes[i] = static_cast<std::uint8_t>(random() & 0xFFu);
    }
    const std::uint16_t crc = CheckWordOf(bytes);
    bytes[layout::kCheckWordHigh] = static_cast<std::uint8_t>(crc >> 8);
    bytes[layout::kCheckWordLow] = static_cast<std::uint8_t>(crc & 0xFFu);
    return bytes;
}

std::vector<float> Transmit(const Bytes& bytes, double leadInSeconds) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        TransferArray[static_cast<long>(i)] = bytes[i];
    }
    NoChart chart;
    SynthesizeSignal(chart);
    const long skip =
        std::clamp(std::lround((1.0 - leadInSeconds) * kSampleRate), 0L, long{kLeadInSamples});
    std::vector<float> out;
    out.reserve(static_cast<std::size_t>(kSignalSamples - skip));
    for (long i = skip; i < kSignalSamples; ++i) {
        out.push_back(static_cast<float>(SampleBuffer[i] / 32768.0));
    }
    return out;
}

std::vector<float> TwoSenders(const Bytes& first, const Bytes& second, double secondAfterSeconds,
                              double firstGain) {
    const std::vector<float> a = Transmit(first);
    const std::vector<float> b = Transmit(second);
    const auto offset = static_cast<std::size_t>(std::lround(secondAfterSeconds * kSampleRate));
    std::vector<float> mixed(std::max(a.size(), offset + b.size()), 0.0f);
    for (std::size_t i = 0; i < a.size(); ++i) {
        mixed[i] += float(firstGain) * a[i];
    }
    for (std::size_t i = 0; i < b.size(); ++i) {
        mixed[offset + i] += b[i];
    }
    return mixed;
}

double DataAmplitude(const Channel& c) {
    return kDataAmplitude / 32768.0 * std::pow(10.0, c.levelDb / 20);
}

namespace {

// `x` read at a speed that swings by +-depth, hz times a second: each output sample taken at
// t + depth / (2 pi hz) sin(2 pi hz t), between the input's samples by a Lanczos kernel.
std::vector<float> Wow(const std::vector<float>& x, double depth, double hz, double rate) {
    constexpr int kHalfTaps = 8;
    const auto sinc = [](double v) { return v == 0 ? 1.0 : std::sin(kPi * v) / (kPi * v); };
    std::vector<float> out(x.size(), 0.0f);
    for (std::size_t n = 0; n < x.size(); ++n) {
        const double t = double(n) / rate;
        const double at = double(n) + rate * depth / (2 * kPi * hz) * std::sin(2 * kPi * hz * t);
        const auto centre = static_cast<long>(std::floor(at));
        double sum = 0;
        for (long k = centre - kHalfTaps + 1; k <= centre + kHalfTaps; ++k) {
            if (k >= 0 && k < static_cast<long>(x.size())) {
                const double v = at - double(k);
                sum += x[static_cast<std::size_t>(k)] * sinc(v) * sinc(v / kHalfTaps);
            }
        }
        out[n] = float(sum);
    }
    return out;
}

}  // namespace

std::vector<float> Pass(std::span<const float> sent, const Channel& c, std::uint64_t seed) {
    std::vector<float> moved = Resample(sent, kSampleRate * (1 + c.clockOffset), c.rate);
    if (c.wowDepth != 0) {
        moved = Wow(moved, c.wowDepth, c.wowHz, c.rate);
    }
    const auto before = static_cast<std::size_t>(std::lround(c.silenceBefore * c.rate));
    const auto after = static_cast<std::size_t>(std::lround(c.silenceAfter * c.rate));
    std::vector<float> x(before + moved.size() + after, 0.0f);
    const float gain = float(std::pow(10.0, c.levelDb / 20) * (c.inverted ? -1 : 1));
    for (std::size_t i = 0; i < moved.size(); ++i) {
        x[before + i] = gain * moved[i];
    }
    Filters filters(c);
    filters.Run(x);
    if (c.shiftHz != 0) {
        x = Shift(x, c.shiftHz, c.rate);
    }
    if (c.echoRelative != 0) {
        const auto lag = static_cast<std::size_t>(std::lround(c.echoSeconds * c.rate));
        for (std::size_t i = x.size(); i-- > lag;) {
            x[i] += float(c.echoRelative) * x[i - lag];
        }
    }
    if (c.fadingHz > 0) {
        for (std::size_t i = 0; i < x.size(); ++i) {
            const double swing = 0.5 + 0.5 * std::cos(2 * kPi * c.fadingHz * double(i) / c.rate);
            x[i] *= float(c.fadingFloor + (1 - c.fadingFloor) * swing);
        }
    }
    if (c.gsm) {
        x = Resample(GsmRoundTrip(Resample(x, c.rate, 8000)), 8000, c.rate);
    }
    if (c.amrMode >= 0) {
        x = Resample(AmrRoundTrip(Resample(x, c.rate, 8000), c.amrMode), 8000, c.rate);
    }

    std::mt19937_64 random(seed);
    std::normal_distribution<double> gauss(0.0, 1.0);
    const double a = DataAmplitude(c);
    double sigma = 0;
    if (std::isfinite(c.ebN0Db)) {
        // Eb = (A^2 / 2) / 250 per bit, N0 = Eb / (Eb/N0), variance N0 fs / 2.
        const double eb = a * a / 2 / (kSampleRate / double{kSamplesPerBit});
        sigma = std::sqrt(eb / std::pow(10.0, c.ebN0Db / 10) * c.rate / 2);
    }
    const double hum = c.humRelative * a;
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double t = double(i) / c.rate;
        double v = x[i] + c.dc + sigma * gauss(random);
        v += hum * (std::sin(2 * kPi * 50 * t) + 0.3 * std::sin(2 * kPi * 150 * t + 1));
        x[i] = float(std::clamp(v, -1.0, 1.0));
    }
    return x;
}

std::vector<float> SpeechLike(int rate, double seconds, std::uint64_t seed) {
    std::mt19937_64 random(seed);
    std::uniform_real_distribution<double> uniform(0.0, 1.0);
    const auto n = static_cast<std::size_t>(seconds * rate);
    std::vector<float> x(n);
    double phase = 0;
    double pitch = 120;
    double target = 150;
    double f1 = 700, f2 = 1200;
    double whistle = 0, whistleHz = 1000, whistleLeft = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (i % static_cast<std::size_t>(rate / 20) == 0) {  // every 50 ms a new target
            target = 90 + 160 * uniform(random);
            f1 = 300 + 600 * uniform(random);
            f2 = 900 + 1400 * uniform(random);
            if (whistleLeft <= 0 && uniform(random) < 0.05) {
                whistleLeft = 0.05 + 0.3 * uniform(random);
                whistleHz = 970 + 60 * uniform(random);
            }
        }
        pitch += (target - pitch) * 0.0005;
        phase += 2 * kPi * pitch / rate;
        const double t = double(i) / rate;
        const double syllable = std::max(0.0, std::sin(2 * kPi * 4 * t));
        double v = 0;
        for (int h = 1; h * pitch < 3500; ++h) {
            const double f = h * pitch;
            const double shape = std::exp(-std::pow((f - f1) / 200, 2)) +
                                 0.6 * std::exp(-std::pow((f - f2) / 300, 2)) + 0.05;
            v += shape * std::sin(h * phase) / h;
        }
        whistle = 0;
        if (whistleLeft > 0) {
            whistle = 0.3 * std::sin(2 * kPi * whistleHz * t);
            whistleLeft -= 1.0 / rate;
        }
        x[i] = float(0.25 * syllable * v + whistle);
    }
    return x;
}

}  // namespace zk::channel
