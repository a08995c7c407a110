#include "tools/render/AudioFileWriter.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Taviro::Render
{

struct AudioFileHandle
{
    SNDFILE* sound = nullptr;
};

namespace
{

std::string systemError()
{
    return std::strerror(errno);
}

} // namespace

AudioFileWriter::AudioFileWriter(std::string path, int sampleRate, SampleFormat format)
    : finalPath(std::move(path))
{
    namespace fs = std::filesystem;
    fs::path target(finalPath);
    fs::path folder = folderForNewFile(finalPath);

    std::string hiddenName = std::string(1, '.').append(target.filename().string()).append(".XXXXXX");
    std::string pattern = (folder / hiddenName).string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    int descriptor = mkstemp(name.data());
    if (descriptor < 0)
        throw AudioFileError("cannot write into folder " + folder.string() + ": " + systemError());
    temporaryPath = name.data();
    // mkstemp makes the file private; the finished file gets the permissions of any new file.
    mode_t mask = umask(0);
    umask(mask);
    fchmod(descriptor, 0666 & ~mask);

    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | (format == SampleFormat::Pcm24 ? SF_FORMAT_PCM_24 : SF_FORMAT_FLOAT);
    SNDFILE* sound = sf_open_fd(descriptor, SFM_WRITE, &info, SF_TRUE);
    if (!sound)
    {
        std::string reason = sf_strerror(nullptr);
        close(descriptor);
        discard();
        throw AudioFileError("cannot write " + finalPath + ": " + reason);
    }
    file = std::make_unique<AudioFileHandle>(AudioFileHandle{sound});
    sf_command(sound, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    // The PEAK chunk of float files carries the time of writing; without it equal renders give
    // equal files.
    sf_command(sound, SFC_SET_ADD_PEAK_CHUNK, nullptr, SF_FALSE);
}

AudioFileWriter::~AudioFileWriter()
{
    discard();
}

void AudioFileWriter::discard()
{
    if (file)
        sf_close(file->sound);
    file.reset();
    if (!temporaryPath.empty())
        std::remove(temporaryPath.c_str());
    temporaryPath.clear();
}

void AudioFileWriter::write(const double* left, const double* right, std::size_t frames)
{
    if (!file)
        throw AudioFileError("cannot write " + finalPath + ": the file is already closed");
    interleaved.resize(2 * frames);
    for (std::size_t i = 0; i < frames; ++i)
    {
        interleaved[2 * i] = left[i];
        interleaved[2 * i + 1] = right[i];
    }
    auto written = sf_writef_double(file->sound, interleaved.data(), static_cast<sf_count_t>(frames));
    if (written != static_cast<sf_count_t>(frames))
        throw AudioFileError("cannot write " + finalPath + ": " + sf_strerror(file->sound));
}

void AudioFileWriter::commit()
{
    if (!file)
        throw AudioFileError("cannot write " + finalPath + ": the file is already closed");
    sf_write_sync(file->sound);
    int closeError = sf_close(file->sound);
    file.reset();
    if (closeError != 0)
        throw AudioFileError("cannot write " + finalPath + ": " + sf_error_number(closeError));
    if (std::rename(temporaryPath.c_str(), finalPath.c_str()) != 0)
        throw AudioFileError("cannot write " + finalPath + ": " + systemError());
    temporaryPath.clear();
}

} // namespace Taviro::Render
