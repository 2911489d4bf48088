// Locale and time zone switches that a test undoes when it ends.
#pragma once

#include <clocale>
#include <cstdlib>
#include <ctime>
#include <string>

#include "support/platform_rules.h"

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
// Sets (or, with nullptr, removes) an environment variable for the life of the object.
class ScopedEnvVar {
public:
    ScopedEnvVar(const char* name, const char* value) : m_name(name) {
        const char* old = std::getenv(name);
        m_had = old != nullptr;
        if (m_had) m_old = old;
        if (value != nullptr) setenv(name, value, 1);
        else unsetenv(name);
    }
    ~ScopedEnvVar() {
        if (m_had) setenv(m_name.c_str(), m_old.c_str(), 1);
        else unsetenv(m_name.c_str());
    }
    ScopedEnvVar(const ScopedEnvVar&) = delete;
    ScopedEnvVar& operator=(const ScopedEnvVar&) = delete;

private:
    std::string m_name;
    bool m_had = false;
    std::string m_old;
};

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

// Month and day names in English for the rest of the test: the "C" locale on POSIX. Windows
// takes the names from the user's locale of the session, which a process cannot switch, so
// there the test runs only when that locale is en-US.
#ifdef _WIN32
#define USE_ENGLISH_DATE_NAMES()                                                 \
    if (!UserLocaleIsEnUs()) GTEST_SKIP() << "the user's date names are not English"
#else
#define USE_ENGLISH_DATE_NAMES()         \
    ScopedLocale englishDateNames_("C"); \
    ASSERT_TRUE(englishDateNames_.Ok())
#endif

// Runs the rest of the test in time zone `name`. Windows keeps one system time zone for the
// whole process, so there the test is skipped.
#ifdef _WIN32
#define USE_TIME_ZONE(name) GTEST_SKIP() << "the time zone is the system's"
#else
#define USE_TIME_ZONE(name) ScopedTimeZone scopedTimeZone_(name)
#endif
