#pragma once

#include "CodeList.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>

// Stops the run with a message when a property that must hold for every input
// does not: libFuzzer then keeps the input as a crash.
#define FUZZ_CHECK(condition) \
    ((condition) ? void(0) : FuzzSupport::Fail(#condition, __FILE__, __LINE__))

namespace FuzzSupport {

[[noreturn]] void Fail(const char *condition, const char *file, int line);

// A folder of this process that lives until it ends; every call gives the
// same one.
QString ScratchDir();
QString ScratchPath(const QString &name);
bool WriteFile(const QString &path, const QByteArray &bytes);
QByteArray ReadFile(const QString &path);

// Reads an input from its front: single bytes, then the rest.
class Reader {
public:
    Reader(const uint8_t *data, size_t size) : m_data(data), m_size(size) {}
    // 0 once the input is used up.
    quint8 Byte();
    // Everything not taken yet.
    QByteArray Rest();
    size_t Left() const { return m_size - m_used; }

private:
    const uint8_t *m_data;
    size_t m_size;
    size_t m_used = 0;
};

// A drop-down list that only records what it was given.
class RecordingList : public ListControl {
public:
    QStringList rows;
    int selected = -1;
    void Clear() override { rows.clear(); selected = -1; }
    void Append(const QString &text) override { rows << text; }
    void SelectIndex(int index) override { selected = index; }
};

}
