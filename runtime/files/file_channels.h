// The eight numbered file channels and the program's operations on them.
//
// Channel numbers outside 0..7 end the program with code 7; failed reads and
// writes end it with code 3; a failed open only records code 3 and answers 0.
// Binary values are little-endian and unpadded on every host.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "files/file_channel.h"
#include "values/dyn_string.h"

namespace vlm {

class FileChannelTable {
public:
    static constexpr std::int32_t kChannelCount = 8;

    // The channel, or null for a number outside 0..7.
    FileChannel* Find(std::int32_t channel);
    // The lowest channel that is not open, or -1.
    std::int32_t FirstFree() const;
    void CloseAll();
    // Closes the channels opened on this memory block (its last
    // registration is going away).
    void CloseReadersOf(std::span<const std::uint8_t> block);

private:
    std::array<FileChannel, kChannelCount> channels_;
};

FileChannelTable& TheFileChannels();

// ---- Program-facing: opening and moving (the process's channels) ------------
std::int32_t OpenFile(std::int32_t channel, const DynString& name, std::int32_t mode); // mode > 0 read, 0 write, < 0 append; 1/0
void CloseFile(std::int32_t channel);
std::int32_t FreeFile();                                                       // first free channel or -1
std::int32_t FilePosition(std::int32_t channel);
void SeekFile(std::int32_t channel, std::int32_t offset, std::int32_t origin); // origin < 0 end, > 0 relative, 0 absolute
std::int32_t EndOfFile(std::int32_t channel);                                  // 1 when size <= position

// ---- Typed reads -------------------------------------------------------------
std::int32_t ReadInt8(std::int32_t channel);
std::int32_t ReadInt16(std::int32_t channel);
std::int32_t ReadInt32(std::int32_t channel);
std::int32_t ReadUInt8(std::int32_t channel);
std::int32_t ReadUInt16(std::int32_t channel);
std::int32_t ReadUInt32(std::int32_t channel); // the 32 bits, delivered in a signed integer
double ReadDouble(std::int32_t channel);
double ReadSingle(std::int32_t channel);
DynString ReadText(std::int32_t channel, std::int32_t count); // ends at the first NUL
DynString ReadLine(std::int32_t channel);
double ReadLineNumber(std::int32_t channel);        // atof of a line
std::int32_t ReadLineInteger(std::int32_t channel); // atoi of a line

// ---- Typed writes (disk channels only) ---------------------------------------
void WriteInt8(std::int32_t channel, std::int32_t value);  // the low byte
void WriteInt16(std::int32_t channel, std::int32_t value); // the low 16 bits
void WriteInt32(std::int32_t channel, std::int32_t value);
void WriteDouble(std::int32_t channel, double value);
void WriteSingle(std::int32_t channel, double value);
void WriteText(std::int32_t channel, const DynString& text);  // no terminator
void WriteLine(std::int32_t channel, const DynString& text);  // text and "\r\n"
void WriteLineNumber(std::int32_t channel, double value);     // NumberToText and "\r\n"
void WriteLineInteger(std::int32_t channel, std::int32_t value);

} // namespace vlm
