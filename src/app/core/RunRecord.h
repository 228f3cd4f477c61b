// The record of a run in progress, kept on disk from before the host profile
// is changed until the run has ended cleanly, so that a start after the
// program died can finish the run's bookkeeping. Values by key, in the order
// they were set; lists as repeated keys. No windows.h here.
//
// The text: a first line naming the format, "key=value" lines (the value with
// "\" "\n" "\r" escaped as "\\" "\n" "\r"), and a last line "end=N" with the
// number of value lines, so that a record cut short is known as such.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace runrecord {

enum class Status {
    Ok,
    NotARecord,  // empty, or another format (its first line)
    Truncated,   // the values read are kept, but the record ends early
    Malformed,   // a line that is no "key=value": the values before it are kept
};

class Record {
  public:
    // Replaces every value of the key with this one.
    void Set(const std::wstring& key, const std::wstring& value);
    void SetNumber(const std::wstring& key, uint64_t value);
    // One more value of a list key.
    void Add(const std::wstring& key, const std::wstring& value);

    bool Has(const std::wstring& key) const;
    // The key's first value; false (and value untouched) without one.
    bool Get(const std::wstring& key, std::wstring& value) const;
    // False as well for a value that is no decimal number of 64 bits.
    bool GetNumber(const std::wstring& key, uint64_t& value) const;
    std::vector<std::wstring> List(const std::wstring& key) const;

    std::wstring Format() const;
    // What was readable is in record afterwards, whatever the status.
    static Status Parse(std::wstring_view text, Record& record);

  private:
    std::vector<std::pair<std::wstring, std::wstring>> values_;
};

}  // namespace runrecord
