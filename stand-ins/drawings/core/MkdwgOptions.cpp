#include "stand-ins/drawings/core/MkdwgOptions.h"

#include "stand-ins/core/StandInText.h"

namespace standin {

const wchar_t kMkdwgUsage[] =
    L"usage: mkdwg <file.dwg> [options]\n"
    L"  --version MAGIC       version magic at offset 0, at most 10 characters (OX1015)\n"
    L"  --release N           release byte at offset 11, 0..255 (0)\n"
    L"  --preview KIND        none | bmp1 | bmp4 | bmp8 | bmp24 | bmp32 | wmf (bmp8)\n"
    L"  --size WxH            preview size in pixels, 1..1024 each (160x120)\n"
    L"  --seed N              picture variant (0)\n"
    L"  --ref PATH            a referenced drawing; relative to the drawing's folder\n"
    L"                        unless rooted (repeatable)\n"
    L"  --at STAGE            when the faults strike: open | scan | migr | save | quit (open)\n"
    L"  --delay SECONDS       the host is busy this long (responsive)\n"
    L"  --dialog TITLE        the host shows a dialog with this title and waits\n"
    L"  --dialog-text TEXT    a child text of that dialog (repeatable)\n"
    L"  --dialog-button TEXT  a button beside its OK, its first character the\n"
    L"                        mnemonic; Enter is OK, Escape cancels (repeatable)\n"
    L"  --log-error TEXT      the host writes this line into its log, then hangs\n"
    L"  --crash               the host process dies abnormally\n"
    L"  --hang                the host never exits; its window stays responsive\n"
    L"  --save-fails          _.QSAVE writes nothing and logs why\n"
    L"Texts of the form {res:N} are string N of the wizard's resource library,\n"
    L"{host:N} string N of the host's ortxares.dll, looked up by the host.\n";

namespace {

bool ParseNumber(const std::wstring& text, unsigned long max, unsigned long& value) {
    if (text.empty() || text.size() > 9) return false;
    value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return false;
        value = value * 10 + static_cast<unsigned>(c - L'0');
    }
    return value <= max;
}

}  // namespace

bool ParseMkdwgArgs(const std::vector<std::wstring>& args, MkdwgJob& job, std::wstring& error) {
    job = MkdwgJob();
    DrawingSpec& spec = job.Spec;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::wstring& arg = args[i];
        if (arg == L"--help" || arg == L"-h" || arg == L"/?") {
            job.Help = true;
            return true;
        }
        if (arg.size() < 2 || arg.compare(0, 2, L"--") != 0) {
            if (!job.Output.empty()) {
                error = L"more than one output file: " + arg;
                return false;
            }
            job.Output = arg;
            continue;
        }
        // Switches without a value.
        if (arg == L"--crash") {
            spec.Fault.Crash = true;
            continue;
        }
        if (arg == L"--hang") {
            spec.Fault.Hang = true;
            continue;
        }
        if (arg == L"--save-fails") {
            spec.Fault.SaveFails = true;
            continue;
        }
        if (i + 1 >= args.size()) {
            error = arg + L" needs a value";
            return false;
        }
        const std::wstring& value = args[++i];
        unsigned long n = 0;
        if (arg == L"--version") {
            const std::string magic = ToUtf8(value);
            if (magic.empty() || magic.size() >= kVersionFieldSize) {
                error = L"--version takes 1 to 10 characters";
                return false;
            }
            spec.Version = magic;
        } else if (arg == L"--release") {
            if (!ParseNumber(value, 255, n)) {
                error = L"--release takes 0 to 255";
                return false;
            }
            spec.Release = static_cast<uint8_t>(n);
        } else if (arg == L"--preview") {
            if (!ParsePreview(value, spec.PreviewKind)) {
                error = L"unknown preview kind " + value;
                return false;
            }
        } else if (arg == L"--size") {
            const size_t x = value.find_first_of(L"xX");
            unsigned long w = 0, h = 0;
            if (x == std::wstring::npos || !ParseNumber(value.substr(0, x), 1024, w) ||
                !ParseNumber(value.substr(x + 1), 1024, h) || w == 0 || h == 0) {
                error = L"--size takes WxH, each 1 to 1024";
                return false;
            }
            spec.Width = static_cast<int>(w);
            spec.Height = static_cast<int>(h);
        } else if (arg == L"--seed") {
            if (!ParseNumber(value, 999999999, n)) {
                error = L"--seed takes a number";
                return false;
            }
            spec.Seed = static_cast<unsigned>(n);
        } else if (arg == L"--ref") {
            if (value.empty()) {
                error = L"--ref needs a path";
                return false;
            }
            spec.References.push_back(value);
        } else if (arg == L"--at") {
            if (!ParseFaultStage(value, spec.Fault.At)) {
                error = L"unknown stage " + value;
                return false;
            }
        } else if (arg == L"--delay") {
            if (!ParseNumber(value, 86400, n)) {
                error = L"--delay takes 0 to 86400 seconds";
                return false;
            }
            spec.Fault.DelaySeconds = static_cast<unsigned>(n);
        } else if (arg == L"--dialog") {
            spec.Fault.DialogTitle = value;
        } else if (arg == L"--dialog-text") {
            spec.Fault.DialogTexts.push_back(value);
        } else if (arg == L"--dialog-button") {
            spec.Fault.DialogButtons.push_back(value);
        } else if (arg == L"--log-error") {
            spec.Fault.LogError = value;
        } else {
            error = L"unknown option " + arg;
            return false;
        }
    }
    if (job.Output.empty()) {
        error = L"no output file";
        return false;
    }
    if ((!spec.Fault.DialogTexts.empty() || !spec.Fault.DialogButtons.empty()) &&
        spec.Fault.DialogTitle.empty()) {
        error = L"--dialog-text and --dialog-button need --dialog";
        return false;
    }
    return true;
}

}  // namespace standin
