#include "store/picture/jpeg_message_codes.h"

#include <cstdio>

#include <jpeglib.h>
// After jpeglib.h: the message list depends on its configuration.
#include <jerror.h>

namespace velmora {

int libjpeg6bMessageCode(int code) {
    // Every enumerator is listed (no default), so -Wswitch names any message a
    // newer library adds.
    switch (static_cast<J_MESSAGE_CODE>(code)) {
    case JMSG_NOMESSAGE: return 0;
    case JERR_ARITH_NOTIMPL: return 1;
    case JERR_BAD_ALIGN_TYPE: return 2;
    case JERR_BAD_ALLOC_CHUNK: return 3;
    case JERR_BAD_BUFFER_MODE: return 4;
    case JERR_BAD_COMPONENT_ID: return 5;
    case JERR_BAD_DCT_COEF: return 6;
    case JERR_BAD_DCTSIZE: return 7;
    case JERR_BAD_HUFF_TABLE: return 8;
    case JERR_BAD_IN_COLORSPACE: return 9;
    case JERR_BAD_J_COLORSPACE: return 10;
    case JERR_BAD_LENGTH: return 11;
    case JERR_BAD_LIB_VERSION: return 12;
    case JERR_BAD_MCU_SIZE: return 13;
    case JERR_BAD_POOL_ID: return 14;
    case JERR_BAD_PRECISION: return 15;
    case JERR_BAD_PROGRESSION: return 16;
    case JERR_BAD_PROG_SCRIPT: return 17;
    case JERR_BAD_SAMPLING: return 18;
    case JERR_BAD_SCAN_SCRIPT: return 19;
    case JERR_BAD_STATE: return 20;
    case JERR_BAD_STRUCT_SIZE: return 21;
    case JERR_BAD_VIRTUAL_ACCESS: return 22;
    case JERR_BUFFER_SIZE: return 23;
    case JERR_CANT_SUSPEND: return 24;
    case JERR_CCIR601_NOTIMPL: return 25;
    case JERR_COMPONENT_COUNT: return 26;
    case JERR_CONVERSION_NOTIMPL: return 27;
    case JERR_DAC_INDEX: return 28;
    case JERR_DAC_VALUE: return 29;
    case JERR_DHT_INDEX: return 30;
    case JERR_DQT_INDEX: return 31;
    case JERR_EMPTY_IMAGE: return 32;
    case JERR_EMS_READ: return 33;
    case JERR_EMS_WRITE: return 34;
    case JERR_EOI_EXPECTED: return 35;
    case JERR_FILE_READ: return 36;
    case JERR_FILE_WRITE: return 37;
    case JERR_FRACT_SAMPLE_NOTIMPL: return 38;
    case JERR_HUFF_CLEN_OVERFLOW: return 39;
    case JERR_HUFF_MISSING_CODE: return 40;
    case JERR_IMAGE_TOO_BIG: return 41;
    case JERR_INPUT_EMPTY: return 42;
    case JERR_INPUT_EOF: return 43;
    case JERR_MISMATCHED_QUANT_TABLE: return 44;
    case JERR_MISSING_DATA: return 45;
    case JERR_MODE_CHANGE: return 46;
    case JERR_NOTIMPL: return 47;
    case JERR_NOT_COMPILED: return 48;
    case JERR_NO_BACKING_STORE: return 49;
    case JERR_NO_HUFF_TABLE: return 50;
    case JERR_NO_IMAGE: return 51;
    case JERR_NO_QUANT_TABLE: return 52;
    case JERR_NO_SOI: return 53;
    case JERR_OUT_OF_MEMORY: return 54;
    case JERR_QUANT_COMPONENTS: return 55;
    case JERR_QUANT_FEW_COLORS: return 56;
    case JERR_QUANT_MANY_COLORS: return 57;
    case JERR_SOF_DUPLICATE: return 58;
    case JERR_SOF_NO_SOS: return 59;
    case JERR_SOF_UNSUPPORTED: return 60;
    case JERR_SOI_DUPLICATE: return 61;
    case JERR_SOS_NO_SOF: return 62;
    case JERR_TFILE_CREATE: return 63;
    case JERR_TFILE_READ: return 64;
    case JERR_TFILE_SEEK: return 65;
    case JERR_TFILE_WRITE: return 66;
    case JERR_TOO_LITTLE_DATA: return 67;
    case JERR_UNKNOWN_MARKER: return 68;
    case JERR_VIRTUAL_BUG: return 69;
    case JERR_WIDTH_OVERFLOW: return 70;
    case JERR_XMS_READ: return 71;
    case JERR_XMS_WRITE: return 72;
    case JMSG_COPYRIGHT: return 73;
    case JMSG_VERSION: return 74;
    case JTRC_16BIT_TABLES: return 75;
    case JTRC_ADOBE: return 76;
    case JTRC_APP0: return 77;
    case JTRC_APP14: return 78;
    case JTRC_DAC: return 79;
    case JTRC_DHT: return 80;
    case JTRC_DQT: return 81;
    case JTRC_DRI: return 82;
    case JTRC_EMS_CLOSE: return 83;
    case JTRC_EMS_OPEN: return 84;
    case JTRC_EOI: return 85;
    case JTRC_HUFFBITS: return 86;
    case JTRC_JFIF: return 87;
    case JTRC_JFIF_BADTHUMBNAILSIZE: return 88;
    case JTRC_JFIF_EXTENSION: return 89;
    case JTRC_JFIF_THUMBNAIL: return 90;
    case JTRC_MISC_MARKER: return 91;
    case JTRC_PARMLESS_MARKER: return 92;
    case JTRC_QUANTVALS: return 93;
    case JTRC_QUANT_3_NCOLORS: return 94;
    case JTRC_QUANT_NCOLORS: return 95;
    case JTRC_QUANT_SELECTED: return 96;
    case JTRC_RECOVERY_ACTION: return 97;
    case JTRC_RST: return 98;
    case JTRC_SMOOTH_NOTIMPL: return 99;
    case JTRC_SOF: return 100;
    case JTRC_SOF_COMPONENT: return 101;
    case JTRC_SOI: return 102;
    case JTRC_SOS: return 103;
    case JTRC_SOS_COMPONENT: return 104;
    case JTRC_SOS_PARAMS: return 105;
    case JTRC_TFILE_CLOSE: return 106;
    case JTRC_TFILE_OPEN: return 107;
    case JTRC_THUMB_JPEG: return 108;
    case JTRC_THUMB_PALETTE: return 109;
    case JTRC_THUMB_RGB: return 110;
    case JTRC_UNKNOWN_IDS: return 111;
    case JTRC_XMS_CLOSE: return 112;
    case JTRC_XMS_OPEN: return 113;
    case JWRN_ADOBE_XFORM: return 114;
    case JWRN_BOGUS_PROGRESSION: return 115;
    case JWRN_EXTRANEOUS_DATA: return 116;
    case JWRN_HIT_MARKER: return 117;
    case JWRN_HUFF_BAD_CODE: return 118;
    case JWRN_JFIF_MAJOR: return 119;
    case JWRN_JPEG_EOF: return 120;
    case JWRN_MUST_RESYNC: return 121;
    case JWRN_NOT_SEQUENTIAL: return 122;
    case JWRN_TOO_MUCH_DATA: return 123;
    // Added after 6b: the 6b message closest in meaning.
    case JERR_BAD_CROP_SPEC: return 47;
    case JERR_BAD_DROP_SAMPLING: return 47;
    case JERR_NO_ARITH_TABLE: return 1;
    case JWRN_ARITH_BAD_CODE: return 118;
    case JWRN_BOGUS_ICC: return 116;
    case JMSG_LASTMSGCODE: break;
    }
    return 0;
}

}  // namespace velmora
