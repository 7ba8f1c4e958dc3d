#pragma once

// Owning handles for the GLib and GObject values the services hold, so that every early
// return releases what was acquired.

#include <gio/gio.h>

#include <memory>

struct GObjectDeleter
{
    void operator()(gpointer object) const { g_object_unref(object); }
};
template<typename T>
using GObjectPtr = std::unique_ptr<T, GObjectDeleter>;

struct GFreeDeleter
{
    void operator()(gpointer memory) const { g_free(memory); }
};
using GCharPtr = std::unique_ptr<gchar, GFreeDeleter>;

struct GStrvDeleter
{
    void operator()(gchar **strings) const { g_strfreev(strings); }
};
using GStrvPtr = std::unique_ptr<gchar *, GStrvDeleter>;

struct GKeyFileDeleter
{
    void operator()(GKeyFile *keyFile) const { g_key_file_free(keyFile); }
};
using GKeyFilePtr = std::unique_ptr<GKeyFile, GKeyFileDeleter>;

// Collects a GError out-parameter and yields its message.
class GErrorSlot
{
public:
    GErrorSlot() = default;
    GErrorSlot(const GErrorSlot &) = delete;
    GErrorSlot &operator=(const GErrorSlot &) = delete;
    ~GErrorSlot()
    {
        if (m_raw)
            g_error_free(m_raw);
    }

    GError **out() { return &m_raw; }
    bool isSet() const { return m_raw != nullptr; }
    const char *message() const { return m_raw ? m_raw->message : "unknown error"; }

private:
    GError *m_raw = nullptr;
};
