// Golden outputs of ulmarender (version 0302): seeded pictures of many sizes
// go through the whole pipeline with every deterministic option (proof,
// saturation and lightness offsets, noise with a fixed seed, every band of
// a render-data directory whose bands lack their LUT or palette), and the
// per-pixel stages run over every 8-bit colour; the FNV-1a hashes of the
// outputs must stay those recorded from the plain renderer, so that no
// speed-up changes a byte unnoticed.
//
// Noise is seeded with time(): this program supplies its own time(), which
// returns a fixed instant while a test sets one, and the clock otherwise.
#include <gtest/gtest.h>

#include <time.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ulmarender/colour_conversions.h"
#include "ulmarender/colour_enhance.h"
#include "ulmarender/colour_stages.h"
#include "ulmarender/command_line.h"
#include "ulmarender/error_diffusion.h"
#include "ulmarender/golden_support.h"
#include "ulmarender/hsl_hsv_processing.h"
#include "ulmarender/palette_data.h"
#include "ulmarender/pipeline.h"
#include "ulmarender/render_data.h"
#include "ulmarender/engine/settings.h"

namespace {
time_t g_fixed_time = -1;
}  // namespace

extern "C" time_t time(time_t* result) noexcept {
  time_t now = g_fixed_time;
  if (now < 0) {
    timespec clock{};
    clock_gettime(CLOCK_REALTIME, &clock);
    now = clock.tv_sec;
  }
  if (result != nullptr) *result = now;
  return now;
}

namespace {

using namespace golden;
using ulma_test::read_file;
using ulma_test::TempDir;

// Expected hashes of the PGM file and of the proof file (0: no proof file).
struct Expected {
  std::uint64_t pgm;
  std::uint64_t proof;
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
    {"1x9_s11_t-10_p", {0xFE4873911E71FEDCull, 0x9CC02276AEBEECFCull}},
    {"1x9_s11_t5_p", {0x8453FE78EDD17DA4ull, 0x4CDE00DCDE4F593Full}},
    {"1x9_s11_t25_p", {0xB3C5F7833EC92FBCull, 0x6636F424CA925DA4ull}},
    {"1x9_s11_t30_p", {0x888F3C88B11F5A14ull, 0xCEBDC2874C552FDAull}},
    {"1x9_s11_t50_p", {0x75A23D0510D3EA8Cull, 0x9963742799F9DAB9ull}},
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
    {"3x3_s11_t-10_p", {0x8DF79DD6F9278FCCull, 0x5C25AAE5ECCFEC5Aull}},
    {"3x3_s11_t5_p", {0x861DA0D08723AAACull, 0xEE9F989FB9993D4Cull}},
    {"3x3_s11_t25_p", {0x18FFED51E4631C44ull, 0x6AD5EAA39F225719ull}},
    {"3x3_s11_t30_p", {0xA6397120E1DEE62Cull, 0xDCDEEC64879DFDF2ull}},
    {"3x3_s11_t50_p", {0x8FC5BF72E5974624ull, 0x37D5BA359A5C3B91ull}},
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
    {"97x61_s11_t-10_p", {0x8F544B863584EFB9ull, 0x1F8091CC2C6548A5ull}},
    {"97x61_s11_t5_p", {0x8EB2BBA02A234349ull, 0xD3F14855BDC34D9Cull}},
    {"97x61_s11_t25_p", {0x640C0B49FA541361ull, 0xF10CF0B17BF33816ull}},
    {"97x61_s11_t30_p", {0x82E1DD277006EFD1ull, 0x21A7336486E2B073ull}},
    {"97x61_s11_t50_p", {0x38C22D20D7EA0F81ull, 0x18A7DB2C4380E6A4ull}},
    {"97x61_s11_t70_p", {0x38C22D20D7EA0F81ull, 0x18A7DB2C4380E6A4ull}},
    {"97x61_s11_t99_p", {0x38C22D20D7EA0F81ull, 0x18A7DB2C4380E6A4ull}},
    {"320x240_s11_t-30_p", {0x62A3DB85AF9DCFF3ull, 0xFC8DC6EAC3EECF7Aull}},
    {"320x240_s11_t-10_p", {0x62A3DB85AF9DCFF3ull, 0xFC8DC6EAC3EECF7Aull}},
    {"320x240_s11_t5_p", {0x080DDFD4F7E3643Bull, 0x7889929D43485A76ull}},
    {"320x240_s11_t25_p", {0x07FD963C8905E39Bull, 0xF09A1A1040AD4497ull}},
    {"320x240_s11_t30_p", {0x2F9A5CED2AC33A4Bull, 0xA355AD51BC21489Cull}},
    {"320x240_s11_t50_p", {0x0D22D8283BBDD9F3ull, 0x926C2CAFB3FF5820ull}},
    {"320x240_s11_t70_p", {0x0D22D8283BBDD9F3ull, 0x926C2CAFB3FF5820ull}},
    {"320x240_s11_t99_p", {0x0D22D8283BBDD9F3ull, 0x926C2CAFB3FF5820ull}},
    {"9x1_s23_t5_p_b-1000", {0x1927FCAEFFBE89E4ull, 0xD76BD55E246FB839ull}},
    {"9x1_s23_t5_p_b150", {0x38F16EDB01262DD4ull, 0x2359386107A21EA3ull}},
    {"9x1_s23_t5_p_c-1000_b75", {0xB81E0A37C9781DDCull, 0xD8B0872F9977C49Cull}},
    {"9x1_s23_t5_p_c-355", {0x6346DB8204AB0D1Cull, 0xE40B02918D88601Cull}},
    {"9x1_s23_t5_p_c1000_b1000", {0xF463BEDADA87A57Cull, 0x9282E377586A53D0ull}},
    {"9x1_s23_t5_p_c200", {0xEB947A3406F40FF4ull, 0xE034E2ED805A575Full}},
    {"9x1_s23_t5_p_c400_b-200", {0x7694B2A7B4B8F34Cull, 0x58FA503C74C1D72Dull}},
    {"9x1_s23_t25_p_b-1000", {0x83813A60A66563DCull, 0x629181887DF6174Bull}},
    {"9x1_s23_t25_p_b150", {0x1FBCFB8576B03D14ull, 0x38FA23AE3F035BE0ull}},
    {"9x1_s23_t25_p_c-1000_b75", {0xB81E0A37C9781DDCull, 0x5D62B59D67DCCEDBull}},
    {"9x1_s23_t25_p_c-355", {0xFDCFAA2E1A2F913Cull, 0xDDEF1A78A300A60Eull}},
    {"9x1_s23_t25_p_c1000_b1000", {0xF463BEDADA87A57Cull, 0x9A19F857F1CAEBB7ull}},
    {"9x1_s23_t25_p_c200", {0xEF9650AD9C61ED2Cull, 0x6C03DF60DE8D6993ull}},
    {"9x1_s23_t25_p_c400_b-200", {0x23572FE88BBB0D7Cull, 0xA1013D9FD1A16E7Cull}},
    {"9x1_s23_t30_p_b-1000", {0xBE3EAA081238DE1Cull, 0xDBCB59B43647C249ull}},
    {"9x1_s23_t30_p_b150", {0xBE3EAA081238DE1Cull, 0xDBCB59B43647C249ull}},
    {"9x1_s23_t30_p_c-1000_b75", {0xBE3EAA081238DE1Cull, 0xDBCB59B43647C249ull}},
    {"9x1_s23_t30_p_c-355", {0xBE3EAA081238DE1Cull, 0xDBCB59B43647C249ull}},
    {"9x1_s23_t30_p_c1000_b1000", {0xBE3EAA081238DE1Cull, 0xDBCB59B43647C249ull}},
    {"9x1_s23_t30_p_c200", {0xBE3EAA081238DE1Cull, 0xDBCB59B43647C249ull}},
    {"9x1_s23_t30_p_c400_b-200", {0xBE3EAA081238DE1Cull, 0xDBCB59B43647C249ull}},
    {"97x61_s23_t5_p_b-1000", {0x0B35898F94EE0999ull, 0x18A7DB2C4380E6A4ull}},
    {"97x61_s23_t5_p_b150", {0x38689107717A0F11ull, 0xEA5A2F4FBD3DCD31ull}},
    {"97x61_s23_t5_p_c-1000_b75", {0x5540DEC165D59631ull, 0xBACDBB509A8BB995ull}},
    {"97x61_s23_t5_p_c-355", {0xE15E3EA4512A0249ull, 0x714D9B86DC043259ull}},
    {"97x61_s23_t5_p_c1000_b1000", {0x5864EDEF18949BE1ull, 0x2D94A14476B8E799ull}},
    {"97x61_s23_t5_p_c200", {0x47D7AB5EA9432381ull, 0x8A79AA1155D7CAF2ull}},
    {"97x61_s23_t5_p_c400_b-200", {0x7F2B71A80127DA89ull, 0x446DACF55F1D03CFull}},
    {"97x61_s23_t25_p_b-1000", {0x38C22D20D7EA0F81ull, 0xFA9267DABB489C8Eull}},
    {"97x61_s23_t25_p_b150", {0xE9DA3121F84CBE89ull, 0x95984EE2EC055AECull}},
    {"97x61_s23_t25_p_c-1000_b75", {0x74B7312892963F41ull, 0xB9B92714FD0E6462ull}},
    {"97x61_s23_t25_p_c-355", {0x885CDA131209E759ull, 0x6C6379834E71DF4Aull}},
    {"97x61_s23_t25_p_c1000_b1000", {0x5864EDEF18949BE1ull, 0x334ACCA1645FC112ull}},
    {"97x61_s23_t25_p_c200", {0xE344781633F2D2A1ull, 0xB58740892E4CE670ull}},
    {"97x61_s23_t25_p_c400_b-200", {0x9A1B52367A0735B9ull, 0x4FA1E1A434460A29ull}},
    {"97x61_s23_t30_p_b-1000", {0x98C473E832499319ull, 0xCF08C72227C58A97ull}},
    {"97x61_s23_t30_p_b150", {0x98C473E832499319ull, 0xCF08C72227C58A97ull}},
    {"97x61_s23_t30_p_c-1000_b75", {0x98C473E832499319ull, 0xCF08C72227C58A97ull}},
    {"97x61_s23_t30_p_c-355", {0x98C473E832499319ull, 0xCF08C72227C58A97ull}},
    {"97x61_s23_t30_p_c1000_b1000", {0x98C473E832499319ull, 0xCF08C72227C58A97ull}},
    {"97x61_s23_t30_p_c200", {0x98C473E832499319ull, 0xCF08C72227C58A97ull}},
    {"97x61_s23_t30_p_c400_b-200", {0x98C473E832499319ull, 0xCF08C72227C58A97ull}},
    {"320x240_s23_t5_p_b-1000", {0xF305B0E0D50ED9F3ull, 0x926C2CAFB3FF5820ull}},
    {"320x240_s23_t5_p_b150", {0xAF87FC6DB5ECC053ull, 0x73EAA561DD183556ull}},
    {"320x240_s23_t5_p_c-1000_b75", {0xDFC5F71A70FFCC1Bull, 0x9921F02E537B63CBull}},
    {"320x240_s23_t5_p_c-355", {0x2F4BC888E04D1C4Bull, 0xE92B2E56DC723C83ull}},
    {"320x240_s23_t5_p_c1000_b1000", {0xBB3541A94FD9D9F3ull, 0x5A3D22D8548B5420ull}},
    {"320x240_s23_t5_p_c200", {0x2855B395BFEDB5EBull, 0x4464F26312AE293Aull}},
    {"320x240_s23_t5_p_c400_b-200", {0xF979F2356EEA3D9Bull, 0x49C30D1D76EBF6A5ull}},
    {"320x240_s23_t25_p_b-1000", {0x0D22D8283BBDD9F3ull, 0x486F037DA8E19020ull}},
    {"320x240_s23_t25_p_b150", {0xAE7E26B02B9B3DFBull, 0x50DE378F5B84EF1Dull}},
    {"320x240_s23_t25_p_c-1000_b75", {0x94596E19F6E3FE2Bull, 0x36F9C2E88FFDCA60ull}},
    {"320x240_s23_t25_p_c-355", {0xEB661A44774DBB6Bull, 0x3A8CEEA42910E582ull}},
    {"320x240_s23_t25_p_c1000_b1000", {0xBB3541A94FD9D9F3ull, 0x6EEC68DF4BF0A820ull}},
    {"320x240_s23_t25_p_c200", {0x958CEE8B782DFD7Bull, 0xBBBFCDAB0C833378ull}},
    {"320x240_s23_t25_p_c400_b-200", {0x7FC83C9AF9105843ull, 0xDF3A4CA3C4B4409Bull}},
    {"320x240_s23_t30_p_b-1000", {0x143E12F2A7F8E323ull, 0xEA9D572E03DCD03Full}},
    {"320x240_s23_t30_p_b150", {0x143E12F2A7F8E323ull, 0xEA9D572E03DCD03Full}},
    {"320x240_s23_t30_p_c-1000_b75", {0x143E12F2A7F8E323ull, 0xEA9D572E03DCD03Full}},
    {"320x240_s23_t30_p_c-355", {0x143E12F2A7F8E323ull, 0xEA9D572E03DCD03Full}},
    {"320x240_s23_t30_p_c1000_b1000", {0x143E12F2A7F8E323ull, 0xEA9D572E03DCD03Full}},
    {"320x240_s23_t30_p_c200", {0x143E12F2A7F8E323ull, 0xEA9D572E03DCD03Full}},
    {"320x240_s23_t30_p_c400_b-200", {0x143E12F2A7F8E323ull, 0xEA9D572E03DCD03Full}},
    {"1x9_s31_t-10_p_c300_b-100_n12", {0x61F85D91FE6FA11Cull, 0x5B286B15AEC8684Dull}},
    {"1x9_s31_t25_p_n1", {0x61F85D91FE6FA11Cull, 0xD30328AD889BB47Cull}},
    {"1x9_s31_t25_p_n2", {0x61F85D91FE6FA11Cull, 0xD30328AD889BB47Cull}},
    {"1x9_s31_t25_p_n255", {0x61F85D91FE6FA11Cull, 0xD30328AD889BB47Cull}},
    {"1x9_s31_t25_p_n40", {0x61F85D91FE6FA11Cull, 0xD30328AD889BB47Cull}},
    {"1x9_s31_t25_p_n7", {0x61F85D91FE6FA11Cull, 0xD30328AD889BB47Cull}},
    {"97x61_s31_t-10_p_c300_b-100_n12", {0xA525EB7A55F20B01ull, 0xE53509D1722C479Bull}},
    {"97x61_s31_t25_p_n1", {0xAC66267F53729699ull, 0x0E0000008EBAA6D9ull}},
    {"97x61_s31_t25_p_n2", {0x9C18532ED20CAD71ull, 0x1C0CB0C8DB06D2F2ull}},
    {"97x61_s31_t25_p_n255", {0x7DDA935564E20191ull, 0xCA0EECDAC5A19135ull}},
    {"97x61_s31_t25_p_n40", {0x3A6BEC454638CD41ull, 0x91039F56E057EC16ull}},
    {"97x61_s31_t25_p_n7", {0xF6C5B668FBE20471ull, 0xAD0208836372E1D5ull}},
    {"320x240_s31_t-10_p_c300_b-100_n12", {0x8552961AE80FDE3Bull, 0x4F1F0A72744FE1F3ull}},
    {"320x240_s31_t25_p_n1", {0xF2C38ECD05BE6323ull, 0x4B4EDCD670337C19ull}},
    {"320x240_s31_t25_p_n2", {0xC8C124AD591A3A0Bull, 0x368828AE36A8BD15ull}},
    {"320x240_s31_t25_p_n255", {0x8454FDDF40836783ull, 0x2274D0B7F3749E86ull}},
    {"320x240_s31_t25_p_n40", {0x74B7425C6CB46763ull, 0x6547D03F8460BA06ull}},
    {"320x240_s31_t25_p_n7", {0xA6AE0464338CB99Bull, 0xDC060E8F1AC9DD27ull}},
    {"300x50_s100_t25_p", {0xA0C5D01B3F20648Aull, 0x5AD3DFBD76C34C85ull}},
    {"301x49_s101_t25_p", {0x645AEDA36F5DF345ull, 0x3A159C02A70DA37Cull}},
    {"302x48_s102_t25_p", {0x02FD6BF73F315CF3ull, 0xE9014A7FC4C3B318ull}},
    {"303x47_s103_t25_p", {0x6A4ACB0EEA8C1455ull, 0x6595D92A1DFEF9A1ull}},
    {"304x46_s104_t25_p", {0xB8B5CFAB6ED42683ull, 0x01CA29375B26D198ull}},
    {"305x45_s105_t25_p", {0x1885BA7A85A963BDull, 0xF376BA6BC2C8851Eull}},
};

const std::map<std::string, std::uint64_t> kStages = {
    {"color_enhance_0", 0x6B23A3AE31A61CA6ull},
    {"color_enhance_1", 0xCE6B8E63B2E79BD4ull},
    {"color_enhance_2", 0xCE6B8E63B2E79BD4ull},
    {"color_enhance_3", 0x45D5554570D04735ull},
    {"color_enhance_4", 0x7AAC005C88BAED8Eull},
    {"color_enhance_5", 0xC80EB715A214D67Aull},
    {"color_enhance_6", 0x313A4DB421089EEBull},
    {"enhance_green", 0xA004992E293CFD35ull},
    {"gamut_clip", 0x761DC822131BA3FBull},
    {"image_processing_m1_0", 0x2BC78986C219297Full},
    {"image_processing_m1_1", 0x3EB1B6B2CA3EBCC7ull},
    {"image_processing_m1_2", 0x06772B328010D136ull},
    {"image_processing_m1_3", 0xB571D3A457E49231ull},
    {"image_processing_m1_4", 0x386E086C5EDF2F25ull},
    {"image_processing_m1_5", 0x325DBC5E2B4CA8F2ull},
    {"image_processing_m2_0", 0x5E5E044C125AEEF7ull},
    {"image_processing_m2_1", 0xCD38D577F80034C9ull},
    {"image_processing_m2_2", 0xDD169EDE25416488ull},
    {"image_processing_m2_3", 0x0513250A080D84CFull},
    {"image_processing_m2_4", 0x2A5437B15AEB842Dull},
    {"image_processing_m2_5", 0xA0C98603B5C97F68ull},
    {"image_processing_m3_0", 0x2BC78986C219297Full},
    {"image_processing_m3_1", 0x3EB1B6B2CA3EBCC7ull},
    {"image_processing_m3_2", 0x06772B328010D136ull},
    {"image_processing_m3_3", 0xB571D3A457E49231ull},
    {"image_processing_m3_4", 0xFB5C82383403FA05ull},
    {"image_processing_m3_5", 0x97EA39CF78375AADull},
    {"image_processing_m4_0", 0x5E5E044C125AEEF7ull},
    {"image_processing_m4_1", 0xCD38D577F80034C9ull},
    {"image_processing_m4_2", 0xDD169EDE25416488ull},
    {"image_processing_m4_3", 0x0513250A080D84CFull},
    {"image_processing_m4_4", 0xBCAF1B93B4741DF3ull},
    {"image_processing_m4_5", 0x97EA39CF78375AADull},
    {"lab_of_bytes", 0x5B5BA5CBC3037339ull},
    {"nearest_five", 0x1D5C23021374CF11ull},
    {"nearest_pale", 0x488E81D2D7EC0777ull},
    {"nearest_repeats", 0x64102078EDD78EAAull},
    {"nearest_typical", 0x3A06E6CE9683F012ull},
    {"pass_error", 0x9108080FFC509AC7ull},
};
// clang-format on

// Compares a result with its table entry; a missing entry fails and prints
// the line that would record it.
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

struct Options {
  bool proof = true;
  double sat = 0;
  double light = 0;
  int noise = -1;
};

std::string case_name(Size size, std::uint64_t seed, int temp, const Options& o) {
  std::string name = std::to_string(size.w) + "x" + std::to_string(size.h) + "_s" + std::to_string(seed) + "_t" +
                     std::to_string(temp);
  if (o.proof) name += "_p";
  if (o.sat != 0) name += "_c" + std::to_string(static_cast<int>(o.sat * 10));
  if (o.light != 0) name += "_b" + std::to_string(static_cast<int>(o.light * 10));
  if (o.noise > 0) name += "_n" + std::to_string(o.noise);
  return name;
}

class GoldenPipeline : public ::testing::Test {
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
  void TearDown() override {
    gProof = 0;
    gPreprocess = 0;
    gSat_offset = gLight_offset = 0;
    gNoise_range = -1;
    g_fixed_time = -1;
  }

  // Renders the picture of `size` and `seed` in process and returns the
  // hashes of the files written.
  static Expected render(Size size, std::uint64_t seed, int temp, const Options& o) {
    const std::string input = *dir_ / "in.ppm";
    const std::string output = *dir_ / "out.pgm";
    const std::string proof = *dir_ / "out_proof.ppm";
    ulma_test::write_file(input, ppm_of(size.w, size.h, photo_like_rgb(size.w, size.h, seed)));
    std::remove(output.c_str());
    std::remove(proof.c_str());
    gProof = o.proof ? 1 : 0;
    gSat_offset = o.sat;
    gLight_offset = o.light;
    gPreprocess = (o.sat != 0 || o.light != 0) ? 1 : 0;
    gNoise_range = o.noise;
    g_fixed_time = o.noise > 0 ? static_cast<time_t>(1700000000 + seed) : -1;
    ::testing::internal::CaptureStdout();
    my_ulma_render(input.c_str(), output.c_str(), lot_dir_.c_str(), temp);
    ::testing::internal::GetCapturedStdout();
    g_fixed_time = -1;
    const bool has_proof = ulma_test::fs::exists(proof);
    return {fnv1a64(read_file(output)), has_proof ? fnv1a64(read_file(proof)) : 0};
  }

  static void check(Size size, std::uint64_t seed, int temp, const Options& o) {
    expect_pipeline(case_name(size, seed, temp, o), render(size, seed, temp, o));
  }

  static inline std::unique_ptr<TempDir> dir_;
  static inline std::string lot_dir_;
};

// Every size through every band, with the proof.
TEST_F(GoldenPipeline, EverySizeInEveryBand) {
  for (const Size size : kSizes) {
    for (const int temp : kTemperatures) check(size, 11, temp, Options{});
  }
}

// The proof image changes nothing in the PGM; without it no proof file.
TEST_F(GoldenPipeline, WithoutProof) {
  for (const Size size : {Size{3, 3}, Size{97, 61}, Size{320, 240}}) {
    for (const int temp : {25, 30, 50}) {
      Options o;
      o.proof = false;
      const Expected without = render(size, 11, temp, o);
      const Expected with = render(size, 11, temp, Options{});
      EXPECT_EQ(hex(without.pgm), hex(with.pgm)) << size.w << "x" << size.h << " at " << temp;
      EXPECT_EQ(without.proof, 0u);
    }
  }
}

TEST_F(GoldenPipeline, SaturationAndLightnessOffsets) {
  const std::vector<std::pair<double, double>> offsets = {{20, 0},  {-35.5, 0}, {0, 15},    {0, -100},
                                                          {40, -20}, {100, 100}, {-100, 7.5}};
  for (const Size size : {Size{9, 1}, Size{97, 61}, Size{320, 240}}) {
    for (const auto& [sat, light] : offsets) {
      for (const int temp : {5, 25, 30}) {
        Options o;
        o.sat = sat;
        o.light = light;
        check(size, 23, temp, o);
      }
    }
  }
}

TEST_F(GoldenPipeline, NoiseWithAFixedSeed) {
  for (const Size size : {Size{1, 9}, Size{97, 61}, Size{320, 240}}) {
    for (const int noise : {1, 2, 7, 40, 255}) {
      Options o;
      o.noise = noise;
      check(size, 31, 25, o);
    }
    Options o;
    o.noise = 12;
    o.sat = 30;
    o.light = -10;
    check(size, 31, -10, o);
  }
}

TEST_F(GoldenPipeline, OtherSeeds) {
  for (std::uint64_t seed = 100; seed < 106; ++seed) {
    check(Size{200 + static_cast<int>(seed), 150 - static_cast<int>(seed)}, seed, 25, Options{});
  }
}

// The built program gives the files of the in-process pipeline.
TEST_F(GoldenPipeline, ProgramRunMatchesThePipeline) {
  const Size size{97, 61};
  const std::string work = *dir_ / "run";
  ulma_test::fs::create_directories(work);
  ulma_test::write_file(ulma_test::fs::path(work) / "pic.ppm",
                        ppm_of(size.w, size.h, photo_like_rgb(size.w, size.h, 23)));
  const ulma_test::ProgramResult result = ulma_test::run_program(
      ULMARENDER_EXE, "ulmarender", {"-p", "-c", "40", "-b", "-20", "pic.ppm", "out.pgm", lot_dir_, "25"}, work);
  ASSERT_EQ(result.status, 0) << result.out;
  Options o;
  o.sat = 40;
  o.light = -20;
  expect_pipeline(case_name(size, 23, 25, o),
                  {fnv1a64(read_file(work + "/out.pgm")), fnv1a64(read_file(work + "/out_proof.ppm"))});
}

// ---- Stages over every colour ----------------------------------------------

TEST(GoldenStages, GreenEnhancementOfEveryColour) {
  std::uint64_t hash = fnv1a64("");
  for (int colour = 0; colour < (1 << 24); ++colour) {
    int r = colour >> 16;
    int g = (colour >> 8) & 255;
    int b = colour & 255;
    enhance_green(r, g, b);
    const unsigned char bytes[3] = {static_cast<unsigned char>(r), static_cast<unsigned char>(g),
                                    static_cast<unsigned char>(b)};
    hash = fnv1a64(std::string_view(reinterpret_cast<const char*>(bytes), 3), hash);
  }
  expect_stage("enhance_green", hash);
}

std::uint64_t hash_doubles(std::uint64_t hash, std::initializer_list<double> values) {
  for (const double v : values) {
    char bytes[sizeof v];
    std::memcpy(bytes, &v, sizeof v);
    hash = fnv1a64(std::string_view(bytes, sizeof bytes), hash);
  }
  return hash;
}

TEST(GoldenStages, CielabOfEveryColour) {
  std::uint64_t hash = fnv1a64("");
  for (int colour = 0; colour < (1 << 24); ++colour) {
    const Lab lab = lab_of_bytes(colour >> 16, (colour >> 8) & 255, colour & 255);
    hash = hash_doubles(hash, {lab.l, lab.a, lab.b});
  }
  expect_stage("lab_of_bytes", hash);
}

// Working colours as the diffusion meets them: inside and far outside the
// gamut, L beyond its range, and a few non-finite values.
std::vector<Lab> working_colours() {
  Random random(77);
  std::vector<Lab> colours;
  auto uniform = [&](double low, double high) {
    return low + (high - low) * static_cast<double>(random.next() >> 11) * 0x1p-53;
  };
  for (int n = 0; n < 1500000; ++n) {
    const int kind = n % 10;
    if (kind < 6) {
      colours.push_back({uniform(0, 100), uniform(-128, 128), uniform(-128, 128)});
    } else if (kind < 9) {
      colours.push_back({uniform(-30, 130), uniform(-400, 400), uniform(-400, 400)});
    } else {
      colours.push_back({std::trunc(uniform(0, 100)), std::trunc(uniform(-90, 90)), std::trunc(uniform(-90, 90))});
    }
  }
  colours.push_back({100, 0, 0});
  colours.push_back({0, 0, 0});
  colours.push_back({50, 1e6, -1e6});
  colours.push_back({NAN, 0, 0});
  colours.push_back({50, INFINITY, 0});
  return colours;
}

TEST(GoldenStages, GamutClipAndPaletteSearch) {
  const std::vector<Lab> colours = working_colours();
  std::uint64_t clip_hash = fnv1a64("");
  std::vector<Lab> clipped;
  clipped.reserve(colours.size());
  for (const Lab& c : colours) {
    clipped.push_back(gamut_clip(c));
    clip_hash = hash_doubles(clip_hash, {clipped.back().l, clipped.back().a, clipped.back().b});
  }
  expect_stage("gamut_clip", clip_hash);
  const std::vector<std::pair<std::string, const std::string*>> palettes = {
      {"typical", &kPaletteTypical}, {"pale", &kPalettePale}, {"five", &kPaletteFive}, {"repeats", &kPaletteRepeats}};
  for (const auto& [name, text] : palettes) {
    const DiffusionPalette palette = prepare_palette(parse_palette_text(*text));
    std::vector<unsigned char> entries;
    entries.reserve(clipped.size() * 2);
    for (std::size_t n = 0; n < clipped.size(); ++n) {
      entries.push_back(static_cast<unsigned char>(nearest_palette_entry(palette, clipped[n])));
      entries.push_back(static_cast<unsigned char>(nearest_palette_entry(palette, colours[n])));
    }
    expect_stage("nearest_" + name, fnv1a64(entries));
  }
}

TEST(GoldenStages, ErrorShares) {
  Random random(5);
  std::uint64_t hash = fnv1a64("");
  for (int n = 0; n < 200000; ++n) {
    double target[3] = {static_cast<double>(random.below(12000)) / 100 - 10, static_cast<double>(random.below(500)) - 250,
                        static_cast<double>(random.below(500)) - 250};
    const double error[3] = {static_cast<double>(random.below(40000)) / 100 - 200,
                             static_cast<double>(random.below(60000)) / 100 - 300, static_cast<double>(random.below(61)) - 30};
    pass_error(target, error, 1 + 2 * (n % 4));  // weights 1, 3, 5, 7
    hash = hash_doubles(hash, {target[0], target[1], target[2]});
  }
  expect_stage("pass_error", hash);
}

// The picture adjustment in all four modes with offsets and contrasts the
// command line never sets, over a lattice of colours.
TEST(GoldenStages, PictureAdjustmentInEveryMode) {
  std::vector<unsigned char> colours;
  for (int r = 0; r < 256; r += 3)
    for (int g = 1; g < 256; g += 3)
      for (int b = 2; b < 256; b += 3) colours.insert(colours.end(), {static_cast<unsigned char>(b),
                                                                     static_cast<unsigned char>(g),
                                                                     static_cast<unsigned char>(r)});
  struct Setting {
    double hue, sat, light, contrast;
  };
  const std::vector<Setting> settings = {
      {0, 0, 0, 0}, {0, 20, -15, 0}, {33.7, -40, 25, 0}, {0, 0, 0, 30}, {-20, 10, 10, -45}, {400, 100, -100, 100}};
  std::vector<unsigned char> out(colours.size());
  for (int mode = 1; mode <= 4; ++mode) {
    for (std::size_t k = 0; k < settings.size(); ++k) {
      const Setting& s = settings[k];
      image_processing(colours.data(), out.data(), colours.size() / 3, s.hue, s.sat, s.light, s.contrast, mode);
      expect_stage("image_processing_m" + std::to_string(mode) + "_" + std::to_string(k), fnv1a64(out));
    }
  }
}

// color_enhance with the settings no option reaches: other modes, a
// contrast, no green enhancement.
TEST(GoldenStages, ColourEnhanceWithOtherSettings) {
  TempDir dir;
  const std::string lut = dir / "lut.bin";
  ulma_test::write_file(lut, lut_file(2));
  const Size size{320, 240};
  const std::vector<unsigned char> picture = photo_like_bgr(size.w, size.h, 41);
  std::vector<unsigned char> out(picture.size());
  struct Setting {
    int mode;
    double sat, light, contrast, hue, green;
  };
  const std::vector<Setting> settings = {{1, 0, 0, 0, 0, 0.75},   {1, 0, 0, 0, 0, 0},     {1, 0, 0, 0, 0, -1},
                                         {2, 15, 10, 0, 0, 0.75}, {3, -15, 20, 25, 0, 0.75}, {4, 30, -5, -30, 12, 0.75},
                                         {1, 0, 0, 40, 0, 0.75}};
  for (std::size_t k = 0; k < settings.size(); ++k) {
    const Setting& s = settings[k];
    gMode = s.mode;
    gSat_offset = s.sat;
    gLight_offset = s.light;
    gContrast = s.contrast;
    gHue_offset = s.hue;
    gGreen_enhance = s.green;
    gPreprocess = (s.sat != 0 || s.light != 0 || s.contrast != 0) ? 1 : 0;
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(color_enhance(size.w, size.h, picture.data(), out.data(), lut.c_str()), 0);
    ::testing::internal::GetCapturedStdout();
    expect_stage("color_enhance_" + std::to_string(k), fnv1a64(out));
  }
  gMode = 1;
  gSat_offset = gLight_offset = gContrast = gHue_offset = 0;
  gGreen_enhance = 0.75;
  gPreprocess = 0;
}

}  // namespace
