#include "sendfaults.h"

#include <string.h>

#include <cstdio>

namespace zk {

namespace {

std::string SignalName(int signalNumber) {
    const char* name = sigabbrev_np(signalNumber);
    return name != nullptr ? std::string("SIG") + name : "signal " + std::to_string(signalNumber);
}

std::string Seconds(double seconds, const char* format) {
    char text[32];
    std::snprintf(text, sizeof text, format, seconds);
    return text;
}

// "1.2 s into the signal", "during the signal" when where is not known.
std::string WhereItBroke(const SendEnd& end, const std::string& what) {
    return end.brokeAt ? Seconds(*end.brokeAt, "%.1f") + " s into " + what : "during " + what;
}

}  // namespace

SendEnd EndOfInterruptedSound(const SoundInterruptedError& error) {
    SendEnd end;
    end.cause = SendBreak::Sound;
    end.onAir = SoundOnAir::Part;
    end.brokeAt = error.SecondsIntoSound();
    end.fault = "the sound was interrupted " + Seconds(error.SecondsIntoSound(), "%.2f") +
                " s into the signal (" + error.Cause() + ")";
    return end;
}

SendEnd EndOfCutTransmission(const TransmissionCutError& error) {
    SendEnd end;
    end.onAir = error.OnAir();
    end.brokeAt = error.SecondsPlayed();
    end.signalNumber = error.SignalNumber();
    end.cause = end.signalNumber == 0 ? SendBreak::TransmitLimit : SendBreak::Signal;
    end.released = error.Released();
    if (end.signalNumber == 0) {
        end.fault = error.what();
    } else if (end.onAir == SoundOnAir::Whole) {
        end.fault = SignalName(end.signalNumber) + " in the PTT tail, after the whole signal";
    } else {
        end.fault =
            "cut by " + SignalName(end.signalNumber) + " " + WhereItBroke(end, "the signal");
    }
    if (!end.released) {
        end.fault += "; the transmitter's release failed";
    }
    return end;
}

SendEnd EndOfInterruptedCheck(int signalNumber) {
    SendEnd end;
    end.cause = SendBreak::Signal;
    end.signalNumber = signalNumber;
    end.fault = SignalName(signalNumber) + " while the check listened, after the whole signal";
    return end;
}

SendEnd EndOfFailedRelease(const ReleaseFailedError& error) {
    SendEnd end;
    end.cause = SendBreak::Release;
    end.released = false;
    end.fault = error.what();
    return end;
}

std::optional<SendEnd> EndOfBrokenSend(const std::exception& error) {
    if (const auto* sound = dynamic_cast<const SoundInterruptedError*>(&error)) {
        return EndOfInterruptedSound(*sound);
    }
    if (const auto* cut = dynamic_cast<const TransmissionCutError*>(&error)) {
        return EndOfCutTransmission(*cut);
    }
    if (const auto* release = dynamic_cast<const ReleaseFailedError*>(&error)) {
        return EndOfFailedRelease(*release);
    }
    return std::nullopt;
}

std::string InterruptedSoundMessage(const SoundInterruptedError& error) {
    return EndOfInterruptedSound(error).fault + ": the repeater got a broken message; send again";
}

std::string InterruptionLine(const SendEnd& end, const std::string& what, bool keyed,
                             const std::optional<std::string>& logNote) {
    std::string line = "interrupted by " + SignalName(end.signalNumber);
    switch (end.onAir) {
        case SoundOnAir::Nothing:
            line += " before " + what + " began: nothing was sent";
            break;
        case SoundOnAir::Part:
            // Appended piece by piece: GCC 12 at -O3 misreads " " + string as an overlapping
            // copy (-Wrestrict).
            line += ' ';
            line += WhereItBroke(end, what);
            line += ": only part of it went out";
            break;
        case SoundOnAir::Whole:
            line += " after " + what + " went out whole";
            break;
    }
    if (!keyed) {
        line += "; no transmitter was keyed";
    } else if (end.released) {
        line += "; the transmitter was released";
    } else {
        line += "; THE TRANSMITTER MAY STILL BE KEYED: check the radio";
    }
    if (logNote) {
        line += "; " +
                (end.onAir == SoundOnAir::Nothing ? std::string("nothing was logged") : *logNote);
    }
    return line;
}

}  // namespace zk
