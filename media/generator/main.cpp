// eggdraw_media_gen OUTDIR: draws and synthesises the program's media, writes
// them as files into OUTDIR (for looking at, and icons/ for packaging) and
// writes OUTDIR/media_blocks.cpp, which holds them as the program's byte blocks.
// Every run makes the same bytes.
#include "gen.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>

namespace gen {

void fail(const std::string& why) {
    std::cerr << "eggdraw_media_gen: " << why << "\n";
    std::exit(1);
}

std::string xmp_packet(const std::string& title) {
    return "<?xpacket begin=\"\xEF\xBB\xBF\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?>\n"
           "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\">\n"
           " <rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">\n"
           "  <rdf:Description rdf:about=\"\"\n"
           "    xmlns:dc=\"http://purl.org/dc/elements/1.1/\"\n"
           "    xmlns:xmp=\"http://ns.adobe.com/xap/1.0/\">\n"
           "   <dc:title><rdf:Alt><rdf:li xml:lang=\"x-default\">" +
           title +
           "</rdf:li></rdf:Alt></dc:title>\n"
           "   <xmp:CreatorTool>eggdraw media generator</xmp:CreatorTool>\n"
           "  </rdf:Description>\n"
           " </rdf:RDF>\n"
           "</x:xmpmeta>\n"
           "<?xpacket end=\"r\"?>";
}

namespace {

using Bytes = std::vector<std::uint8_t>;

void write_file(const std::filesystem::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!out)
        fail("cannot write " + path.string());
}

void write_block(std::ostream& out, const char* name, const Bytes& bytes) {
    const auto n = std::uint32_t(bytes.size());
    out << "\nextern const std::uint8_t " << name << "[] = {\n1,0,0,0," << (n & 0xFF) << ','
        << (n >> 8 & 0xFF) << ',' << (n >> 16 & 0xFF) << ',' << (n >> 24) << ",\n";
    for (std::size_t i = 0; i < bytes.size(); ++i)
        out << unsigned(bytes[i]) << (i % 32 == 31 ? ",\n" : ",");
    out << "};\n";
}

// The frames of the animation, each from the scene it shows: inside its
// rectangle a frame holds the scene's index where the picture changes and the
// transparent index everywhere else; it must change nothing outside its rectangle.
std::vector<GifFrame> make_frames(const Palette& palette, const std::vector<Picture>& scenes) {
    const Rect rects[10] = {{0, 0, 378, 216},    {227, 0, 151, 120},  {184, 5, 194, 118},
                            {184, 0, 112, 123},  {124, 48, 125, 168}, {125, 76, 123, 92},
                            {129, 103, 116, 77}, {135, 131, 105, 60}, {143, 160, 89, 43},
                            {155, 186, 66, 30}};
    const int delays[10] = {0, 20, 20, 10, 0, 0, 0, 0, 0, 24000};
    const std::vector<bool> interior = cover_egg_interior();

    std::vector<std::uint8_t> shown; // the composited picture after each frame
    std::vector<GifFrame> frames;
    Noise noise(77);
    for (int k = 0; k < 10; ++k) {
        std::vector<std::uint8_t> target = quantise(scenes[std::size_t(k)], palette);
        const Rect r = rects[k];
        if (k >= 4) {
            // The shell settles a little as it cracks: a few hundred of its pixels in
            // the frame's rectangle move by a few levels. They stay moved afterwards.
            for (std::size_t i = 0; i < target.size(); ++i)
                if (target[i] != shown[i] && scenes[std::size_t(k)].px[i] == scenes[3].px[i])
                    target[i] = shown[i];
            int moved = 0;
            for (int tries = 0; moved < 300 && tries < 20000; ++tries) {
                const int x = r.left + int(noise.uniform() * r.width);
                const int y = r.top + int(noise.uniform() * r.height);
                const std::size_t i = std::size_t(y) * kWidth + x;
                if (!interior[i] || target[i] != shown[i])
                    continue;
                Rgb c = palette[target[i]];
                c.r = std::uint8_t(std::max(0, c.r - 3));
                c.g = std::uint8_t(std::max(0, c.g - 3));
                const int j = nearest_other(palette, c, target[i]);
                const Rgb d = palette[std::size_t(j)];
                if (std::abs(d.r - palette[target[i]].r) + std::abs(d.g - palette[target[i]].g) +
                        std::abs(d.b - palette[target[i]].b) >
                    12)
                    continue;
                target[i] = std::uint8_t(j);
                ++moved;
            }
        }
        GifFrame f{r, delays[k], {}};
        for (int y = r.top; y < r.top + r.height; ++y)
            for (int x = r.left; x < r.left + r.width; ++x) {
                const std::size_t i = std::size_t(y) * kWidth + x;
                f.indices.push_back(k == 0 || target[i] != shown[i] ? target[i] : 255);
            }
        if (k > 0)
            for (int y = 0; y < kHeight; ++y)
                for (int x = 0; x < kWidth; ++x) {
                    const std::size_t i = std::size_t(y) * kWidth + x;
                    if (!r.contains(x, y) && target[i] != shown[i])
                        fail("frame " + std::to_string(k + 1) + " changes (" + std::to_string(x) +
                             ", " + std::to_string(y) + ") outside its rectangle");
                }
        shown = target;
        frames.push_back(std::move(f));
    }
    return frames;
}

} // namespace
} // namespace gen

int main(int argc, char** argv) {
    using namespace gen;
    if (argc != 2) {
        std::cerr << "usage: eggdraw_media_gen OUTDIR\n";
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    std::filesystem::create_directories(dir / "icons");

    const Bytes face = encode_png_rgb(draw_face(), xmp_packet("face"));
    const Bytes cover = encode_png_rgb(draw_cover(), xmp_packet("cover"));
    const std::vector<Picture> scenes = draw_smash_scenes();
    const Palette palette = build_palette(scenes);
    const Bytes gif = encode_gif(palette, make_frames(palette, scenes), xmp_packet("smash"));
    const Bytes wav = encode_wav(synthesise_smash(24000), 24000);
    const Bytes icon = encode_png_rgba(draw_icon(256));

    write_file(dir / "face.png", face);
    write_file(dir / "cover.png", cover);
    write_file(dir / "smash.gif", gif);
    write_file(dir / "smash.wav", wav);
    for (int size : {16, 32, 48, 64, 128, 256})
        write_file(dir / "icons" / ("eggdraw-" + std::to_string(size) + ".png"),
                   size == 256 ? icon : encode_png_rgba(draw_icon(size)));

    const std::filesystem::path blocks = dir / "media_blocks.cpp";
    const std::filesystem::path partial = dir / "media_blocks.cpp.part";
    {
        std::ofstream out(partial);
        out << "// Generated by eggdraw_media_gen; do not edit.\n#include \"media/assets.h\"\n";
        write_block(out, "face_image", face);
        write_block(out, "cover_image", cover);
        write_block(out, "smash_animation", gif);
        write_block(out, "smash_sound", wav);
        write_block(out, "program_icon", icon);
        if (!out)
            fail("cannot write " + partial.string());
    }
    std::filesystem::rename(partial, blocks);
    return 0;
}
