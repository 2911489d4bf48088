// Locale and time zone switches that a test undoes when it ends.
#pragma once

#include <clocale>
#include <cstdlib>
#include <ctime>
#include <string>

// Sets LC_ALL to `name` for the life of the object. Ok() is false when the system lacks the
// locale; tests then skip rather than pass on the wrong locale.
class ScopedLocale {
public:
    explicit ScopedLocale(const char* name) {
        const char* old = std::setlocale(LC_ALL, nullptr);
        m_old = old != nullptr ? old : "C";
        m_ok = std::setlocale(LC_ALL, name) != nullptr;
    }
    ~ScopedLocale() { std::setlocale(LC_ALL, m_old.c_str()); }
    bool Ok() const { return m_ok; }

private:
    std::string m_old;
    bool m_ok = false;
};

#ifndef _WIN32
// Sets TZ for the life of the object.
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* tz) {
        const char* old = std::getenv("TZ");
        m_had = old != nullptr;
        if (m_had) m_old = old;
        setenv("TZ", tz, 1);
        tzset();
    }
    ~ScopedTimeZone() {
        if (m_had) setenv("TZ", m_old.c_str(), 1);
        else unsetenv("TZ");
        tzset();
    }

private:
    bool m_had = false;
    std::string m_old;
};
#endif

// Runs the rest of the test in time zone `name`. Windows keeps one system time zone for the
// whole process, so there the test is skipped.
#ifdef _WIN32
#define USE_TIME_ZONE(name) GTEST_SKIP() << "the time zone is the system's"
#else
#define USE_TIME_ZONE(name) ScopedTimeZone scopedTimeZone_(name)
#endif
