// Golden outputs of ulmarender03 (version 0301): seeded pictures of many
// sizes through the whole pipeline in every band of a render-data directory
// whose bands lack their LUT or palette, with and without the proof, and
// the colour enhancement over many colours; the FNV-1a hashes must stay
// those recorded from the plain renderer.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ulmarender/colour_stages.h"
#include "ulmarender/command_line.h"
#include "ulmarender/golden_support.h"
#include "ulmarender/pipeline.h"
#include "ulmarender/render_data.h"
#include "ulmarender/engine/settings.h"

namespace {

using namespace golden;
using ulma_test::read_file;
using ulma_test::TempDir;

struct Expected {
  std::uint64_t pgm;
  std::uint64_t proof;  // 0: no proof file
};

// clang-format off
const std::map<std::string, Expected> kPipeline = {
    {"1x1_s11_t-30_p", {0x0A550139CC067D94ull, 0x8CCDA8972697C5FDull}},
    {"1x1_s11_t-10_p", {0x0A550139CC067D94ull, 0x8CCDA8972697C5FDull}},
    {"1x1_s11_t5_p", {0x0A550139CC067D94ull, 0xB67EE398EFEC6070ull}},
    {"1x1_s11_t25_p", {0x0A550139CC067D94ull, 0xCDBF06974A250A8Full}},
    {"1x1_s11_t30_p", {0x0A550939CC068B2Cull, 0xFF06C29919EAD299ull}},
    {"1x1_s11_t50_p", {0x0A552139CC06B3F4ull, 0x1FE0F99535501561ull}},
    {"1x1_s11_t70_p", {0x0A552139CC06B3F4ull, 0x1FE0F99535501561ull}},
    {"1x1_s11_t99_p", {0x0A552139CC06B3F4ull, 0x1FE0F99535501561ull}},
    {"1x9_s11_t-30_p", {0xFE4873911E71FEDCull, 0x9CC02276AEBEECFCull}},
    {"1x9_s11_t-10", {0xFE4873911E71FEDCull, 0x0000000000000000ull}},
    {"1x9_s11_t-10_p", {0xFE4873911E71FEDCull, 0x9CC02276AEBEECFCull}},
    {"1x9_s11_t5_p", {0x8453FE78EDD17DA4ull, 0x4CDE00DCDE4F593Full}},
    {"1x9_s11_t25", {0xB3C5F7833EC92FBCull, 0x0000000000000000ull}},
    {"1x9_s11_t25_p", {0xB3C5F7833EC92FBCull, 0x6636F424CA925DA4ull}},
    {"1x9_s11_t30", {0x888F3C88B11F5A14ull, 0x0000000000000000ull}},
    {"1x9_s11_t30_p", {0x888F3C88B11F5A14ull, 0xCEBDC2874C552FDAull}},
    {"1x9_s11_t50", {0x75A23D0510D3EA8Cull, 0x0000000000000000ull}},
    {"1x9_s11_t50_p", {0x75A23D0510D3EA8Cull, 0x9963742799F9DAB9ull}},
    {"1x9_s11_t70", {0x75A23D0510D3EA8Cull, 0x0000000000000000ull}},
    {"1x9_s11_t70_p", {0x75A23D0510D3EA8Cull, 0x9963742799F9DAB9ull}},
    {"1x9_s11_t99_p", {0x75A23D0510D3EA8Cull, 0x9963742799F9DAB9ull}},
    {"2x2_s11_t-30_p", {0xFBCF88F54D4C177Cull, 0xC9E7087DE0BC9AE1ull}},
    {"2x2_s11_t-10_p", {0xFBCF88F54D4C177Cull, 0xC9E7087DE0BC9AE1ull}},
    {"2x2_s11_t5_p", {0xD0F4D936C4B5722Cull, 0x9DD663BD88FC2015ull}},
    {"2x2_s11_t25_p", {0xFBCF88F54D4C177Cull, 0x29DE5B6CFDA9A153ull}},
    {"2x2_s11_t30_p", {0x16C4F1BC5009FAD4ull, 0xF9941F1DB140DD10ull}},
    {"2x2_s11_t50_p", {0xE690E137621183E4ull, 0xAD6794FDDEBE612Bull}},
    {"2x2_s11_t70_p", {0xE690E137621183E4ull, 0xAD6794FDDEBE612Bull}},
    {"2x2_s11_t99_p", {0xE690E137621183E4ull, 0xAD6794FDDEBE612Bull}},
    {"2x17_s11_t-30_p", {0x6E2444B0447C101Eull, 0x941A3BD0232A09A3ull}},
    {"2x17_s11_t-10_p", {0x6E2444B0447C101Eull, 0x941A3BD0232A09A3ull}},
    {"2x17_s11_t5_p", {0x5EC104C78106DEFEull, 0xEDCCC847B47DCBCAull}},
    {"2x17_s11_t25_p", {0x3A28B722B5EC0CD6ull, 0x3EE748960403F74Dull}},
    {"2x17_s11_t30_p", {0x0C11CB1E02042A0Eull, 0x9598FBBCC5E35365ull}},
    {"2x17_s11_t50_p", {0x25AC73D4D625C726ull, 0x3EACC10BA5561997ull}},
    {"2x17_s11_t70_p", {0x25AC73D4D625C726ull, 0x3EACC10BA5561997ull}},
    {"2x17_s11_t99_p", {0x25AC73D4D625C726ull, 0x3EACC10BA5561997ull}},
    {"3x3_s11_t-30_p", {0x8DF79DD6F9278FCCull, 0x5C25AAE5ECCFEC5Aull}},
    {"3x3_s11_t-10", {0x8DF79DD6F9278FCCull, 0x0000000000000000ull}},
    {"3x3_s11_t-10_p", {0x8DF79DD6F9278FCCull, 0x5C25AAE5ECCFEC5Aull}},
    {"3x3_s11_t5_p", {0x861DA0D08723AAACull, 0xEE9F989FB9993D4Cull}},
    {"3x3_s11_t25", {0x18FFED51E4631C44ull, 0x0000000000000000ull}},
    {"3x3_s11_t25_p", {0x18FFED51E4631C44ull, 0x6AD5EAA39F225719ull}},
    {"3x3_s11_t30", {0xA6397120E1DEE62Cull, 0x0000000000000000ull}},
    {"3x3_s11_t30_p", {0xA6397120E1DEE62Cull, 0xDCDEEC64879DFDF2ull}},
    {"3x3_s11_t50", {0x8FC5BF72E5974624ull, 0x0000000000000000ull}},
    {"3x3_s11_t50_p", {0x8FC5BF72E5974624ull, 0x37D5BA359A5C3B91ull}},
    {"3x3_s11_t70", {0x8FC5BF72E5974624ull, 0x0000000000000000ull}},
    {"3x3_s11_t70_p", {0x8FC5BF72E5974624ull, 0x37D5BA359A5C3B91ull}},
    {"3x3_s11_t99_p", {0x8FC5BF72E5974624ull, 0x37D5BA359A5C3B91ull}},
    {"9x1_s11_t-30_p", {0x73DACD7CA7017F2Cull, 0x8B7CC621D4E7F2AFull}},
    {"9x1_s11_t-10_p", {0x73DACD7CA7017F2Cull, 0x8B7CC621D4E7F2AFull}},
    {"9x1_s11_t5_p", {0xA04624D4281A411Cull, 0xC55F5EA080182AD5ull}},
    {"9x1_s11_t25_p", {0x73DACD7CA7017F2Cull, 0xD517A0A48558B716ull}},
    {"9x1_s11_t30_p", {0x783DFD7628BDFAECull, 0xE2A47DD6DC82A8BDull}},
    {"9x1_s11_t50_p", {0x83813A60A66563DCull, 0xD76BD55E246FB839ull}},
    {"9x1_s11_t70_p", {0x83813A60A66563DCull, 0xD76BD55E246FB839ull}},
    {"9x1_s11_t99_p", {0x83813A60A66563DCull, 0xD76BD55E246FB839ull}},
    {"97x61_s11_t-30_p", {0x8F544B863584EFB9ull, 0x1F8091CC2C6548A5ull}},
    {"97x61_s11_t-10", {0x8F544B863584EFB9ull, 0x0000000000000000ull}},
    {"97x61_s11_t-10_p", {0x8F544B863584EFB9ull, 0x1F8091CC2C6548A5ull}},
    {"97x61_s11_t5_p", {0x8EB2BBA02A234349ull, 0xD3F14855BDC34D9Cull}},
    {"97x61_s11_t25", {0x640C0B49FA541361ull, 0x0000000000000000ull}},
    {"97x61_s11_t25_p", {0x640C0B49FA541361ull, 0xF10CF0B17BF33816ull}},
    {"97x61_s11_t30", {0x82E1DD277006EFD1ull, 0x0000000000000000ull}},
    {"97x61_s11_t30_p", {0x82E1DD277006EFD1ull, 0x21A7336486E2B073ull}},
    {"97x61_s11_t50", {0x38C22D20D7EA0F81ull, 0x0000000000000000ull}},
    {"97x61_s11_t50_p", {0x38C22D20D7EA0F81ull, 0x18A7DB2C4380E6A4ull}},
    {"97x61_s11_t70", {0x38C22D20D7EA0F81ull, 0x0000000000000000ull}},
    {"97x61_s11_t70_p", {0x38C22D20D7EA0F81ull, 0x18A7DB2C4380E6A4ull}},
    {"97x61_s11_t99_p", {0x38C22D20D7EA0F81ull, 0x18A7DB2C4380E6A4ull}},
    {"320x240_s11_t-30_p", {0x62A3DB85AF9DCFF3ull, 0xFC8DC6EAC3EECF7Aull}},
    {"320x240_s11_t-10", {0x62A3DB85AF9DCFF3ull, 0x0000000000000000ull}},
    {"320x240_s11_t-10_p", {0x62A3DB85AF9DCFF3ull, 0xFC8DC6EAC3EECF7Aull}},
    {"320x240_s11_t5_p", {0x080DDFD4F7E3643Bull, 0x7889929D43485A76ull}},
    {"320x240_s11_t25", {0x07FD963C8905E39Bull, 0x0000000000000000ull}},
    {"320x240_s11_t25_p", {0x07FD963C8905E39Bull, 0xF09A1A1040AD4497ull}},
    {"320x240_s11_t30", {0x2F9A5CED2AC33A4Bull, 0x0000000000000000ull}},
    {"320x240_s11_t30_p", {0x2F9A5CED2AC33A4Bull, 0xA355AD51BC21489Cull}},
    {"320x240_s11_t50", {0x0D22D8283BBDD9F3ull, 0x0000000000000000ull}},
    {"320x240_s11_t50_p", {0x0D22D8283BBDD9F3ull, 0x926C2CAFB3FF5820ull}},
    {"320x240_s11_t70", {0x0D22D8283BBDD9F3ull, 0x0000000000000000ull}},
    {"320x240_s11_t70_p", {0x0D22D8283BBDD9F3ull, 0x926C2CAFB3FF5820ull}},
    {"320x240_s11_t99_p", {0x0D22D8283BBDD9F3ull, 0x926C2CAFB3FF5820ull}},
    {"300x50_s100_t25_p", {0xA0C5D01B3F20648Aull, 0x5AD3DFBD76C34C85ull}},
    {"301x49_s101_t25_p", {0x645AEDA36F5DF345ull, 0x3A159C02A70DA37Cull}},
    {"302x48_s102_t25_p", {0x02FD6BF73F315CF3ull, 0xE9014A7FC4C3B318ull}},
    {"303x47_s103_t25_p", {0x6A4ACB0EEA8C1455ull, 0x6595D92A1DFEF9A1ull}},
    {"304x46_s104_t25_p", {0xB8B5CFAB6ED42683ull, 0x01CA29375B26D198ull}},
    {"305x45_s105_t25_p", {0x1885BA7A85A963BDull, 0xF376BA6BC2C8851Eull}},
};

const std::map<std::string, std::uint64_t> kStages = {
    {"color_enhance_lattice", 0x920BB38B8D753B6Aull},
};
// clang-format on

void expect_pipeline(const std::string& name, Expected actual) {
  const auto found = kPipeline.find(name);
  if (found == kPipeline.end()) {
    ADD_FAILURE() << "no recorded hashes; record: {\"" << name << "\", {" << hex(actual.pgm) << ", "
                  << hex(actual.proof) << "}},";
    return;
  }
  EXPECT_EQ(hex(actual.pgm), hex(found->second.pgm)) << name << " (PGM)";
  EXPECT_EQ(hex(actual.proof), hex(found->second.proof)) << name << " (proof)";
}

void expect_stage(const std::string& name, std::uint64_t actual) {
  const auto found = kStages.find(name);
  if (found == kStages.end()) {
    ADD_FAILURE() << "no recorded hash; record: {\"" << name << "\", " << hex(actual) << "},";
    return;
  }
  EXPECT_EQ(hex(actual), hex(found->second)) << name;
}

std::string case_name(Size size, std::uint64_t seed, int temp, bool proof) {
  return std::to_string(size.w) + "x" + std::to_string(size.h) + "_s" + std::to_string(seed) + "_t" +
         std::to_string(temp) + (proof ? "_p" : "");
}

class GoldenPipeline0301 : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = std::make_unique<TempDir>();
    lot_dir_ = make_render_data(dir_->path());
  }
  static void TearDownTestSuite() { dir_.reset(); }

  void SetUp() override {
    split_argv_lot(lot_dir_.c_str());
    get_temp_data_from_wbf(gLotName, lot_dir_.c_str());
  }
  void TearDown() override { gProof = 0; }

  static Expected render(Size size, std::uint64_t seed, int temp, bool proof) {
    const std::string input = *dir_ / "in.ppm";
    const std::string output = *dir_ / "out.pgm";
    const std::string proof_path = *dir_ / "out_proof.ppm";
    ulma_test::write_file(input, ppm_of(size.w, size.h, photo_like_rgb(size.w, size.h, seed)));
    std::remove(output.c_str());
    std::remove(proof_path.c_str());
    gProof = proof ? 1 : 0;
    ::testing::internal::CaptureStdout();
    my_ulma_render(input.c_str(), output.c_str(), lot_dir_.c_str(), temp);
    ::testing::internal::GetCapturedStdout();
    const bool has_proof = ulma_test::fs::exists(proof_path);
    return {fnv1a64(read_file(output)), has_proof ? fnv1a64(read_file(proof_path)) : 0};
  }

  static void check(Size size, std::uint64_t seed, int temp, bool proof) {
    expect_pipeline(case_name(size, seed, temp, proof), render(size, seed, temp, proof));
  }

  static inline std::unique_ptr<TempDir> dir_;
  static inline std::string lot_dir_;
};

TEST_F(GoldenPipeline0301, EverySizeInEveryBand) {
  for (const Size size : kSizes) {
    for (const int temp : kTemperatures) check(size, 11, temp, true);
  }
}

TEST_F(GoldenPipeline0301, WithoutProof) {
  for (const Size size : {Size{1, 9}, Size{3, 3}, Size{97, 61}, Size{320, 240}}) {
    for (const int temp : {-10, 25, 30, 50, 70}) check(size, 11, temp, false);
  }
}

TEST_F(GoldenPipeline0301, OtherSeeds) {
  for (std::uint64_t seed = 100; seed < 106; ++seed) {
    check(Size{200 + static_cast<int>(seed), 150 - static_cast<int>(seed)}, seed, 25, true);
  }
}

TEST_F(GoldenPipeline0301, ProgramRunMatchesThePipeline) {
  const Size size{97, 61};
  const std::string work = *dir_ / "run";
  ulma_test::fs::create_directories(work);
  ulma_test::write_file(ulma_test::fs::path(work) / "pic.ppm",
                        ppm_of(size.w, size.h, photo_like_rgb(size.w, size.h, 11)));
  const ulma_test::ProgramResult result =
      ulma_test::run_program(ULMARENDER03_EXE, "ulmarender03", {"-p", "pic.ppm", "out.pgm", lot_dir_, "5"}, work);
  ASSERT_EQ(result.status, 0) << result.out;
  expect_pipeline(case_name(size, 11, 5, true),
                  {fnv1a64(read_file(work + "/out.pgm")), fnv1a64(read_file(work + "/out_proof.ppm"))});
}

// The enhancement (unconditional in this version) and the LUT over a
// lattice of colours.
TEST(GoldenStages0301, ColourEnhanceOverManyColours) {
  TempDir dir;
  const std::string lut = dir / "lut.bin";
  ulma_test::write_file(lut, lut_file(1));
  std::vector<unsigned char> colours;
  for (int r = 0; r < 256; r += 2)
    for (int g = 1; g < 256; g += 2)
      for (int b = 0; b < 256; b += 2)
        colours.insert(colours.end(),
                       {static_cast<unsigned char>(b), static_cast<unsigned char>(g), static_cast<unsigned char>(r)});
  std::vector<unsigned char> out(colours.size());
  const int width = 128 * 128;
  EXPECT_EQ(color_enhance(width, 128, colours.data(), out.data(), lut.c_str()), 0);
  expect_stage("color_enhance_lattice", fnv1a64(out));
}

}  // namespace
