// The portable rules of the stand-in host: its command line, the names of
// script commands, text references of stand-in drawings, and the merging of
// the exchange list MIGRATE.TXT. No windows.h here.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace standin {

// Splits a command line into tokens: a token ends at a blank outside double
// quotes; the quotes are dropped. Backslashes are plain characters (a path
// may end in "\" before its closing quote), and "&", "%", "^" mean nothing here.
std::vector<std::wstring> SplitCommandLine(std::wstring_view line);

struct HostArgs {
    std::wstring Script;   // after /b
    std::wstring Profile;  // after /p
    bool HasScript = false;
    bool HasProfile = false;
    bool NoLogo = false;
    std::vector<std::wstring> Ignored;  // tokens the host does not know
};
// The whole command line, program name first. Switches ignore case and may
// start with "/" or "-".
HostArgs ParseHostCommandLine(std::wstring_view commandLine);

// The command a script line names: without blanks around it, without the
// leading "_" and "." (international and built-in prefixes), up to the first
// blank, in upper case: "_.OPEN" -> "OPEN", "_-purge _B * _N" -> "-PURGE".
std::wstring CommandName(std::wstring_view line);
// Everything after the command's first blank, trimmed ("_B * _N").
std::wstring CommandTail(std::wstring_view line);
// The tail of a "_-purge" line the host takes: a kind it can purge ("B",
// "LA", "D", "P", "LT", "ST", "M", "SH"), "*" for every name, "N" for no
// confirmation, each kind and answer with or without its leading "_".
bool IsPurgeTail(std::wstring_view tail);
// An expression for the extension: a line that starts with "(".
bool IsExpression(std::wstring_view line);

// A drawing's text is literal, or "{res:N}" (string N of the wizard's resource
// library) or "{host:N}" (string N of the host's own resource library).
enum class TextSource { Literal, Wizard, Host };
TextSource ParseTextReference(std::wstring_view text, unsigned& id);

// A referenced drawing as the host finds it: rooted references as they are,
// others in the folder of the drawing that references them.
std::wstring ResolveReference(std::wstring_view drawingPath, std::wstring_view reference);

// The candidates that are neither among the existing lines nor earlier among
// the candidates, compared ignoring case; in candidate order.
std::vector<std::wstring> NewListEntries(const std::vector<std::wstring>& existing,
                                         const std::vector<std::wstring>& candidates);

// The host's log lines that tell of a breach of the contract: a line nobody
// took, an argument refused, a dialog the migration profile should have
// switched off. An extension's lines carry its name and ": " first.
constexpr const wchar_t kUnknownCommand[] = L"Unknown command ";
constexpr const wchar_t kBadArgument[] = L"Bad argument ";
constexpr const wchar_t kProfileDialog[] = L"Profile dialog ";
constexpr const wchar_t kExtensionPrefix[] = L"axmigr: ";
// The lines of a host's transcript that breach the contract, in order. The
// closing "(axresetdbmod T)" comes after the extension is unloaded, so the
// host knows it no more: that one line is expected and not returned.
std::vector<std::wstring> ContractFaults(const std::vector<std::wstring>& transcript);

}  // namespace standin
