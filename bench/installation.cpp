// Install and scan benchmarks. Prints "name: value" lines.
//
// Install: the three formats in-process into fresh folders, against Debian's `unzip -oq`
// extracting the same archives, alternating; and the floor: inflating every entry in memory
// with zlib and writing the bytes, nothing else.
// Scan: the three-format scan over installed bundles, with 6 MB and 60 MB plug-in binaries.
#include "install/BundleInstaller.h"
#include "install/InstalledState.h"
#include "install/PayloadArchive.h"
#include "product/FormatSpec.h"

#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sys/wait.h>
#include <vector>

namespace
{
using Clock = std::chrono::steady_clock;

const char* const product = "QuernfieldReverb3";

const FormatSpec& formatRow (int i)         { return FormatSpec::of ((FormatIndex) i); }
juce::String bundleName (int i)             { return formatRow (i).bundleName (product); }
juce::String archiveName (int i)            { return juce::String (formatRow (i).name).toLowerCase() + ".zip"; }

double median (std::vector<double> v)
{
    std::sort (v.begin(), v.end());
    return v.size() % 2 == 1 ? v[v.size() / 2] : 0.5 * (v[v.size() / 2 - 1] + v[v.size() / 2]);
}

template <typename Fn>
double timeMs (Fn&& fn)
{
    const auto start = Clock::now();
    fn();
    return std::chrono::duration<double, std::milli> (Clock::now() - start).count();
}

void ours (const juce::File& root)
{
    for (int i = 0; i < 3; ++i)
    {
        BundleInstaller installer (root.getChildFile (formatNames[i]), product, bundleName (i));
        if (! installer.install (formatRow (i).payloadData, formatRow (i).payloadSize).succeeded())
            std::fprintf (stderr, "install failed\n");
    }
}

void unzipAll (const juce::File& archives, const juce::File& root)
{
    for (int i = 0; i < 3; ++i)
    {
        const auto dest = root.getChildFile (formatNames[i]);
        dest.createDirectory();
        const auto command = "unzip -oq '" + archives.getChildFile (archiveName (i)).getFullPathName()
                           + "' -d '" + dest.getFullPathName() + "' 2>/dev/null";
        // unzip warns (exit 1) about the backslash separators, and extracts all the same.
        const auto status = std::system (command.toRawUTF8());
        if (! WIFEXITED (status) || WEXITSTATUS (status) > 1)
            std::fprintf (stderr, "unzip failed\n");
    }
}

void floorRun (const juce::File& root)
{
    std::vector<uint8_t> bytes;

    for (int i = 0; i < 3; ++i)
    {
        PayloadArchive archive (formatRow (i).payloadData, formatRow (i).payloadSize);

        for (auto& entry : archive.getEntries())
        {
            const auto target = root.getChildFile (formatNames[i]).getChildFile (entry.name.replaceCharacter ('\\', '/'));

            if (entry.isFolder())
            {
                target.createDirectory();
                continue;
            }

            // Inflate only: no size or CRC check, no staging, no time stamps.
            const auto* base = reinterpret_cast<const uint8_t*> (formatRow (i).payloadData) + entry.localHeaderOffset;
            const auto* in = base + 30 + (base[26] | (base[27] << 8)) + (base[28] | (base[29] << 8));
            bytes.resize ((size_t) entry.uncompressedSize);
            z_stream z {};
            inflateInit2 (&z, -MAX_WBITS);
            z.next_in = const_cast<Bytef*> (in);
            z.avail_in = (uInt) entry.compressedSize;
            z.next_out = bytes.data();
            z.avail_out = (uInt) bytes.size();
            inflate (&z, Z_FINISH);
            inflateEnd (&z);

            target.getParentDirectory().createDirectory();
            std::ofstream out (target.getFullPathName().toStdString(), std::ios::binary);
            out.write (reinterpret_cast<const char*> (bytes.data()), (std::streamsize) bytes.size());
        }
    }
}

long long bytesReadSoFar()
{
    std::ifstream io ("/proc/self/io");
    std::string key;
    long long value = 0;
    while (io >> key >> value)
        if (key == "rchar:")
            return value;
    return -1;
}

void benchInstall (const juce::File& work, int repetitions)
{
    const auto archives = work.getChildFile ("archives");
    archives.createDirectory();
    for (int i = 0; i < numFormats; ++i)
        archives.getChildFile (archiveName (i)).replaceWithData (formatRow (i).payloadData, formatRow (i).payloadSize);

    std::vector<double> oursMs, unzipMs, floorMs;
    int run = 0;

    auto fresh = [&]
    {
        auto dir = work.getChildFile ("run" + juce::String (run++));
        dir.deleteRecursively();
        dir.createDirectory();
        return dir;
    };

    // One warm-up of each, then alternating.
    ours (fresh());
    unzipAll (archives, fresh());
    floorRun (fresh());

    for (int r = 0; r < repetitions; ++r)
    {
        { auto d = fresh(); oursMs.push_back (timeMs ([&] { ours (d); })); d.deleteRecursively(); }
        { auto d = fresh(); unzipMs.push_back (timeMs ([&] { unzipAll (archives, d); })); d.deleteRecursively(); }
        { auto d = fresh(); floorMs.push_back (timeMs ([&] { floorRun (d); })); d.deleteRecursively(); }
    }

    std::printf ("install_repetitions: %d\n", repetitions);
    std::printf ("install_ours_median_ms: %.2f\n", median (oursMs));
    std::printf ("install_unzip_median_ms: %.2f\n", median (unzipMs));
    std::printf ("install_ratio_ours_to_unzip: %.3f\n", median (oursMs) / median (unzipMs));
    std::printf ("install_floor_median_ms: %.2f\n", median (floorMs));
    std::printf ("install_ratio_ours_to_floor: %.3f\n", median (oursMs) / median (floorMs));
}

void benchScan (const juce::File& work, int binaryMegabytes, int repetitions)
{
    const auto root = work.getChildFile ("scan" + juce::String (binaryMegabytes));
    root.deleteRecursively();
    ours (root);

    for (int i = 0; i < 3; ++i)
    {
        const auto binary = formatRow (i).versionFile (root.getChildFile (formatNames[i]).getChildFile (bundleName (i)));
        // Pad to the wanted size past the image's end, where signing data and overlays sit.
        const auto target = (juce::int64) binaryMegabytes * 1000 * 1000;
        if (binary.getSize() < target)
        {
            juce::FileOutputStream out (binary);
            out.setPosition (binary.getSize());
            juce::MemoryBlock pad ((size_t) (target - binary.getSize()), true);
            out.write (pad.getData(), pad.getSize());
        }
    }

    std::vector<double> ms;
    long long bytes = 0;

    for (int r = 0; r < repetitions; ++r)
    {
        const auto before = bytesReadSoFar();
        ms.push_back (timeMs ([&]
        {
            for (int i = 0; i < 3; ++i)
            {
                const auto folder = root.getChildFile (formatNames[i]);
                const auto status = InstalledState::scan (folder.getChildFile (bundleName (i)),
                                                          formatRow (i).versionFile (folder.getChildFile (bundleName (i))), "3.2.1");
                if (status.installedVersion != "3.2.1.0")
                    std::fprintf (stderr, "scan read %s\n", status.installedVersion.toRawUTF8());
            }
        }));
        bytes = bytesReadSoFar() - before;
    }

    std::printf ("scan_%dMB_median_us: %.1f\n", binaryMegabytes, median (ms) * 1000.0);
    std::printf ("scan_%dMB_bytes_read_per_scan: %lld\n", binaryMegabytes, bytes);
    std::printf ("scan_%dMB_bytes_read_per_format: %lld\n", binaryMegabytes, bytes / 3);
}
} // namespace

int main (int argc, char** argv)
{
    const int repetitions = argc > 1 ? juce::jmax (10, juce::String (argv[1]).getIntValue()) : 15;
    const auto work = juce::File::getSpecialLocation (juce::File::tempDirectory).getNonexistentChildFile ("kitwarden-bench-", "");
    work.createDirectory();

    benchInstall (work, repetitions);
    benchScan (work, 6, 200);
    benchScan (work, 60, 200);

    work.deleteRecursively();
    return 0;
}
