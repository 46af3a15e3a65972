#include "files/file_channels.h"

#include <bit>

#include "files/error_state.h"
#include "values/number_text.h"

namespace vlm {

namespace {

FileChannel& ChannelOrEnd(std::int32_t channel) {
    FileChannel* found = TheFileChannels().Find(channel);
    if (!found) RaiseRuntimeError(kErrorOutOfMemory);
    return *found;
}

// The next n little-endian bytes as an unsigned value.
template <std::size_t N>
std::uint64_t ReadLittleEndian(std::int32_t channel) {
    std::array<std::uint8_t, N> bytes{};
    if (!ChannelOrEnd(channel).Read(bytes)) RaiseRuntimeError(kErrorNoSuchFile);
    std::uint64_t value = 0;
    for (std::size_t i = N; i-- > 0;) value = value << 8 | bytes[i];
    return value;
}

template <std::size_t N>
void WriteLittleEndian(std::int32_t channel, std::uint64_t value) {
    std::array<std::uint8_t, N> bytes{};
    for (std::size_t i = 0; i < N; ++i) bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
    if (!ChannelOrEnd(channel).Write(bytes)) RaiseRuntimeError(kErrorNoSuchFile);
}

void WriteOrEnd(std::int32_t channel, std::string_view text) {
    if (!ChannelOrEnd(channel).Write(text)) RaiseRuntimeError(kErrorNoSuchFile);
}

} // namespace

FileChannel* FileChannelTable::Find(std::int32_t channel) {
    if (channel < 0 || channel >= kChannelCount) return nullptr;
    return &channels_[static_cast<std::size_t>(channel)];
}

std::int32_t FileChannelTable::FirstFree() const {
    for (std::int32_t i = 0; i < kChannelCount; ++i) {
        if (!channels_[static_cast<std::size_t>(i)].IsOpen()) return i;
    }
    return -1;
}

void FileChannelTable::CloseAll() {
    for (FileChannel& channel : channels_) channel.Close();
}

void FileChannelTable::CloseReadersOf(std::span<const std::uint8_t> block) {
    // A channel belongs to the block its name gave, address and size: another
    // block starting at the same address is another registration.
    for (FileChannel& channel : channels_) {
        if (channel.MemoryBlock() == block.data() && channel.Length() == static_cast<std::int64_t>(block.size()))
            channel.Close();
    }
}

FileChannelTable& TheFileChannels() {
    // Never destroyed: memory files going away during the process's exit
    // still close the channels that read them. The system closes the files.
    static FileChannelTable& table = *new FileChannelTable;
    return table;
}

std::int32_t OpenFile(std::int32_t channel, const DynString& name, std::int32_t mode) {
    TheErrorState().LastErrorCode = kErrorSuccess;
    if (ChannelOrEnd(channel).Open(name.view(), mode)) return 1;
    SetErrorCode(kErrorNoSuchFile);
    return 0;
}

void CloseFile(std::int32_t channel) { ChannelOrEnd(channel).Close(); }
std::int32_t FreeFile() { return TheFileChannels().FirstFree(); }
std::int32_t FilePosition(std::int32_t channel) { return ChannelOrEnd(channel).Position(); }
void SeekFile(std::int32_t channel, std::int32_t offset, std::int32_t origin) {
    ChannelOrEnd(channel).Seek(offset, origin);
}
std::int32_t EndOfFile(std::int32_t channel) { return ChannelOrEnd(channel).AtEnd() ? 1 : 0; }

std::int32_t ReadInt8(std::int32_t channel) {
    return static_cast<std::int8_t>(ReadLittleEndian<1>(channel));
}
std::int32_t ReadInt16(std::int32_t channel) {
    return static_cast<std::int16_t>(ReadLittleEndian<2>(channel));
}
std::int32_t ReadInt32(std::int32_t channel) {
    return static_cast<std::int32_t>(ReadLittleEndian<4>(channel));
}
std::int32_t ReadUInt8(std::int32_t channel) { return static_cast<std::int32_t>(ReadLittleEndian<1>(channel)); }
std::int32_t ReadUInt16(std::int32_t channel) { return static_cast<std::int32_t>(ReadLittleEndian<2>(channel)); }
std::int32_t ReadUInt32(std::int32_t channel) { return static_cast<std::int32_t>(ReadLittleEndian<4>(channel)); }
double ReadDouble(std::int32_t channel) { return std::bit_cast<double>(ReadLittleEndian<8>(channel)); }
double ReadSingle(std::int32_t channel) {
    return std::bit_cast<float>(static_cast<std::uint32_t>(ReadLittleEndian<4>(channel)));
}

DynString ReadText(std::int32_t channel, std::int32_t count) {
    auto text = ChannelOrEnd(channel).ReadText(count);
    if (!text) RaiseRuntimeError(kErrorNoSuchFile);
    return std::move(*text);
}

DynString ReadLine(std::int32_t channel) {
    auto line = ChannelOrEnd(channel).ReadLine();
    if (!line) RaiseRuntimeError(kErrorNoSuchFile);
    return std::move(*line);
}

double ReadLineNumber(std::int32_t channel) { return TextToNumber(ReadLine(channel)); }
std::int32_t ReadLineInteger(std::int32_t channel) { return TextToInteger(ReadLine(channel)); }

void WriteInt8(std::int32_t channel, std::int32_t value) {
    WriteLittleEndian<1>(channel, static_cast<std::uint32_t>(value));
}
void WriteInt16(std::int32_t channel, std::int32_t value) {
    WriteLittleEndian<2>(channel, static_cast<std::uint32_t>(value));
}
void WriteInt32(std::int32_t channel, std::int32_t value) {
    WriteLittleEndian<4>(channel, static_cast<std::uint32_t>(value));
}
void WriteDouble(std::int32_t channel, double value) {
    WriteLittleEndian<8>(channel, std::bit_cast<std::uint64_t>(value));
}
void WriteSingle(std::int32_t channel, double value) {
    WriteLittleEndian<4>(channel, std::bit_cast<std::uint32_t>(static_cast<float>(value)));
}

void WriteText(std::int32_t channel, const DynString& text) { WriteOrEnd(channel, text.view()); }

void WriteLine(std::int32_t channel, const DynString& text) {
    WriteOrEnd(channel, text.view());
    WriteOrEnd(channel, "\r\n");
}

void WriteLineNumber(std::int32_t channel, double value) { WriteLine(channel, NumberToText(value)); }
void WriteLineInteger(std::int32_t channel, std::int32_t value) { WriteLine(channel, IntegerToText(value)); }

} // namespace vlm
