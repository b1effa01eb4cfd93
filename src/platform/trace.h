#pragma once

#include <QString>

namespace kivaro {

// The --verbose output: one line on stderr per step, prefixed with the program's name.
class Trace
{
public:
    explicit Trace(bool enabled = false) : m_enabled(enabled) {}
    bool enabled() const { return m_enabled; }
    void setEnabled(bool enabled) { m_enabled = enabled; }
    void line(const QString &text) const;

private:
    bool m_enabled;
};

} // namespace kivaro
