// The help texts of the module's functions and classes.
#pragma once

namespace morva6_python::docs {

inline constexpr const char* kModule = R"(Colour pictures for colour e-paper panels.

Pictures are NumPy arrays of height x width x 3 bytes (uint8, red, green,
blue, top row first) or Pillow images (converted to RGB). The renderers
release the GIL while they work; several threads may render at once, with
the same or different tables and render data.

  load_lut, build_lut, Lut   six-ink colour tables (LUT files)
  render_six                 the six-ink renderer, as Morva6_render renders
  RenderData, render_eight   the eight-colour renderer, as ulmarender renders
  fit_photo                  photo2panel's reading and fitting (with libvips)
  pack, unpack               the panel's packed buffers

Bad arguments raise TypeError or ValueError, files that cannot be read
OSError, and failures inside a renderer morva6.Error (a RuntimeError), each
with the library's message.)";

inline constexpr const char* kLut = R"(The bytes of a six-ink LUT file (786450 bytes): six measured ink colours
and a 64 x 64 x 64 colour table.

Lut(data): data is the whole file as bytes; ValueError when it is not
786450 bytes long. bytes(lut) gives the bytes back, lut.inks the inks.)";

inline constexpr const char* kLutInks =
    "The six measured ink colours (6 x 3 uint8, red, green, blue) in the order black, white, "
    "yellow, red, green, blue; these are the palette indices 0..5 of render_six.";

inline constexpr const char* kLoadLut = R"(load_lut(path) -> Lut

Reads a six-ink LUT file.

path: str or os.PathLike. OSError when the file cannot be opened,
ValueError when it is not 786450 bytes long.)";

inline constexpr const char* kBuildLut =
    R"(build_lut(*, inks={}, ink_lab={}, identity=False, layout="morva6", palette=None)

Builds a colour table exactly as the LUT builder (morva6_lut_builder) does;
with no arguments the result is byte for byte the default table
Morva6_Render_LUT_Default_v2.bin. Takes about 1.5 s.

inks: {name: (R, G, B)} measured sRGB colours, 0..255 each; names are
    black, white, yellow, red, green, blue; inks not given keep the
    builder's default colours.
ink_lab: {name: (L, a, b)} measured CIELAB colours against the D50 white,
    or {name: "L,a,b@D65"} for the D65 white.
identity: True for the identity table (every colour aimed at as it is).
layout: "morva6" returns a Lut; "ulma" returns the eight-colour renderer's
    band LUT as bytes (786435 bytes), built for `palette`.
palette: "L,a,b L,a,b ..." the band's eight CIELAB D65 colours (layout
    "ulma" only).

ValueError with the builder's message for bad inks or options.)";

inline constexpr const char* kRenderSix =
    R"(render_six(picture, lut, dither=1, mode=1, tft=0, hue=0, saturation=0, brightness=0, contrast=0, gamma=1.0, threads=None) -> (indices, panel)

Renders a picture onto the six inks, exactly as Morva6_render renders the
same picture saved as a BMP with the same settings.

picture: H x W x 3 uint8 array (red, green, blue) or a Pillow image.
lut: a Lut (load_lut, build_lut).
dither: 1 Floyd-Steinberg, 2 Floyd-Steinberg serpentine,
    3 Jarvis-Judice-Ninke, 4 its serpentine, 5 Stucki, 6 Stucki serpentine.
mode: the panel picture returned: 1 timing-controller codes (0x00 black,
    0x78 white, 0x20 yellow, 0x40 red, 0x30 green, 0x10 blue in all three
    bytes), 2 ideal ink colours, 3 simulation in the LUT's measured inks.
tft: 0 none; 1 and 2 fold each pair of rows into one row of twice the
    width (an odd last row is dropped); 3 swaps odd and even rows; 4 and 5
    unfold each row into two of half the width (an odd last column is
    dropped).
hue: 0..360 degrees; saturation, brightness, contrast: -100..100;
gamma: 0.0..2.0 (above 1 darkens). All neutral: no adjustment.
threads: at most this many threads for this picture (1..256); None uses
    the library's count (MORVA6_THREADS, else the usable cores, at most 8).
    The result is the same at any count.

Returns indices, an H x W uint8 array of palette indices (0 black, 1 white,
2 yellow, 3 red, 4 green, 5 blue, the LUT's ink order), and panel, the
H x W x 3 uint8 picture of the mode in red, green, blue: the pixels of
Morva6_render's output BMP. Both have the TFT transfer's shape.

TypeError for a picture that is not uint8, ValueError for a wrong shape or
a setting out of range.)";

inline constexpr const char* kPack = R"(pack(indices, format="packed4", index_map=None, name="panel_image") -> bytes

The panel's own bytes of an H x W uint8 array of palette indices.

format: "packed4": four bits a pixel, two pixels a byte, the first (left)
    pixel in the high nibble, every row starting on a new byte (an odd
    width leaves a zero low nibble): (W + 1) // 2 * H bytes.
    "packed-indices": one byte a pixel, W * H bytes.
    "c-array": a C header holding the packed4 bytes as
    `const uint8_t name[]`, with width, height and layout in comments.
index_map: a sequence of codes; index i is written as index_map[i], e.g.
    [0, 1, 2, 3, 5, 6] for a controller that skips code 4. Codes must be
    distinct, and 0..15 for packed4 and c-array. None: indices as they are.
name: the C array's name (c-array only), a C identifier.

ValueError with the library's message for an index without a code, a bad
map, format or name.)";

inline constexpr const char* kUnpack = R"(unpack(data, width, height, format="packed4", index_map=None) -> indices

The inverse of pack: the H x W uint8 array of palette indices.

data: the packed bytes.
width, height: the picture's size in pixels.
format: "packed4" or "packed-indices" (a c-array is text, not unpacked).
index_map: the map the data were packed with; None: codes are indices.

ValueError when data is not as long as the layout needs for width x
height, or holds a code index_map gives to no index.)";

inline constexpr const char* kFitPhoto =
    R"(fit_photo(path_or_bytes, size=(800, 480), fit="cover", rotate="auto", background=(255, 255, 255), max_megapixels=100.0, crop="attention") -> picture

Reads a photograph as photo2panel does (libvips: JPEG, PNG, WebP, TIFF,
HEIF, ...): turned upright by its EXIF orientation, converted to 8-bit
sRGB (embedded colour profile, grey, 16-bit, CMYK), transparency flattened
onto the background, then fitted to the panel with Lanczos scaling.

path_or_bytes: a path (str or os.PathLike) or the file's bytes.
size: (width, height) of the panel.
fit: "cover" fills the panel and crops the rest; "contain" shows the whole
    picture on the background; "fill" stretches.
rotate: "auto" turns a portrait picture for a landscape panel and back;
    0, 90, 180, 270 quarter turns clockwise.
background: (R, G, B) 0..255, behind transparency and around "contain".
max_megapixels: larger pictures are refused from their header.
crop: what "cover" keeps: "centre" the middle, "attention" the part that
    draws the eye (faces, skin, strong colour, detail), "entropy" the
    busiest part.

Returns the fitted H x W x 3 uint8 picture. ValueError with libvips'
message for a picture that cannot be read.)";

inline constexpr const char* kRenderData = R"(RenderData(folder)

An eight-colour render-data folder (waveform file, band LUTs and palettes,
as ulmarender reads it), opened once and used by render_eight.

folder: str or os.PathLike. morva6.Error with the renderer's message when
the folder is not usable.)";

inline constexpr const char* kRenderEight =
    R"(render_eight(picture, render_data, temperature, chroma=0, brightness=0, noise=0, proof=True, seed=None, threads=None) -> (codes, proof)

Renders a picture onto the eight-colour panel exactly as `ulmarender -p`
renders the same picture saved as a PPM.

picture: H x W x 3 uint8 array (red, green, blue) or a Pillow image.
render_data: a RenderData.
temperature: the panel's temperature in whole degrees Celsius; it picks
    the band (a boundary belongs to the band below it; outside the table
    the first or last band).
chroma, brightness: saturation and lightness offsets in percent, as
    ulmarender's -c and -b (clamped to -100..100).
noise: the width of the random noise added to every pixel, as
    ulmarender's -n; none when 0 or below.
proof: also return the proof colours.
seed: the noise's seed; None seeds it with the time, as ulmarender does,
    so two calls with noise differ.
threads: at most this many threads for this picture (1..256); None uses
    the library's count (MORVA6_THREADS, else the usable cores, at most 8).
    The result is the same at any count.

Returns codes, the H x W uint8 bytes of ulmarender's PGM (the panel code
0..7 times 8; codes // 8 is what pack takes), and proof, the H x W x 3
uint8 pixels of its proof PPM (None when proof is False). A band without
its colour LUT is rendered without it, as ulmarender does, with a
RuntimeWarning. morva6.Error with the renderer's message when the band's
palette data cannot be read.)";

}  // namespace morva6_python::docs
