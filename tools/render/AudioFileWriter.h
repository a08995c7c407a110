#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace Taviro::Render
{

enum class SampleFormat
{
    Pcm24,
    Float32,
};

class AudioFileError : public std::runtime_error
{
  public:
    using std::runtime_error::runtime_error;
};

// The folder a new file at `path` goes into; throws AudioFileError when `path` names a folder or its
// folder does not exist. Shared by both writers (AudioFileTarget.cpp).
std::string folderForNewFile(const std::string& path);

// Writes a stereo WAV file so that it appears under its name only when complete: the samples go
// into a hidden temporary file in the same folder, which `commit` renames into place. A writer
// destroyed without a commit (a failed or interrupted render) removes its temporary file, and an
// existing file of the same name stays untouched until the rename replaces it.
// Two implementations: libsndfile where the system has it (AudioFileWriter.cpp), else our own RIFF
// WAVE writer (AudioFileWriterRiff.cpp); each defines AudioFileHandle, the open file.
struct AudioFileHandle;

class AudioFileWriter
{
  public:
    AudioFileWriter(std::string path, int sampleRate, SampleFormat format);
    ~AudioFileWriter();

    AudioFileWriter(const AudioFileWriter&) = delete;
    AudioFileWriter& operator=(const AudioFileWriter&) = delete;

    // Appends frames given as one buffer per channel; samples beyond +-1.0 are clipped in 24-bit files.
    void write(const double* left, const double* right, std::size_t frames);
    void commit();

    const std::string& path() const { return finalPath; }

  private:
    void discard();

    std::string finalPath;
    std::string temporaryPath;
    std::unique_ptr<AudioFileHandle> file;
    std::vector<double> interleaved;
};

} // namespace Taviro::Render
