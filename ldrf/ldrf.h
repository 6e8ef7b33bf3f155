/* Resource-file access library: catalogs, type files, enumerations, language
 * strings and type-tree cursors. C linkage, fixed-width types, result 0 for
 * success (22 for "success, more nodes follow" on tree reads). The file
 * formats are described in docs/resource-files.md.
 *
 * Arguments named `reserved*` must be zero/null. Text arguments are narrow
 * text in the ANSI code page; every text out-buffer comes with an in/out
 * length word: capacity in, bytes written (without the terminator) out. */
#ifndef VORNFMT_LDRF_H
#define VORNFMT_LDRF_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

enum {
  LDRF_OK = 0,
  LDRF_NOT_FOUND = 1,
  LDRF_BAD_PARAMETER = 2,
  LDRF_BAD_HANDLE = 3,
  LDRF_OUT_OF_SEQUENCE = 4,
  LDRF_CANNOT_READ = 5,
  LDRF_MALFORMED = 6,
  LDRF_BUFFER_TOO_SMALL = 7,
  LDRF_UNKNOWN_LANGUAGE = 8,
  LDRF_WRONG_NODE_KIND = 9,
  LDRF_MORE = 22
};

enum { LDRF_KIND_TYPE_FILE = 3, LDRF_KIND_FORMAT_FILE = 5 };

typedef int32_t LdrfResult;
typedef uint32_t LdrfHandle;

/* Catalog */
LdrfResult LdrfOpenCatalog(const char* folder, int32_t mode, LdrfHandle* catalog);
LdrfResult LdrfGetCatalogInfo(LdrfHandle catalog, void* reserved1, void* reserved2, void* reserved3,
                              void* reserved4, void* reserved5, uint16_t* formatFileCount);
LdrfResult LdrfCatalogGetFile(LdrfHandle catalog, int32_t kind, uint16_t index, void* reserved1,
                              void* reserved2, void* reserved3, void* reserved4, void* reserved5,
                              void* reserved6, char* path, uint32_t* pathLength);
LdrfResult LdrfSearchCatalog(LdrfHandle catalog, const uint8_t programId[8], uint16_t selector,
                             int32_t kind, uint32_t languageKey, char* path, uint32_t* pathLength,
                             uint16_t* catalogTag, void* reserved);
LdrfResult LdrfCloseCatalog(LdrfHandle catalog);

/* Type files */
LdrfResult LdrfOpenFile(const char* path, int32_t kind, uint16_t catalogTag, void* reserved,
                        LdrfHandle* file);
LdrfResult LdrfCloseFile(LdrfHandle file);
/* typeCount: network-variable plus configuration-property types. */
LdrfResult LdrfGetTypeFileInfo(LdrfHandle file, void* r1, void* r2, void* r3, void* r4, void* r5,
                               void* r6, void* r7, void* r8, void* r9, void* r10, void* r11,
                               void* r12, void* r13, void* r14, uint16_t* typeCount, void* r15,
                               void* r16);
LdrfResult LdrfGetNVT(LdrfHandle file, uint16_t index, LdrfHandle* tree);
LdrfResult LdrfGetCPT(LdrfHandle file, uint16_t index, LdrfHandle* tree, void* r1, void* r2,
                      void* r3, void* r4, void* r5);
LdrfResult LdrfGetNVTByName(LdrfHandle file, const char* name, uint16_t* index, LdrfHandle* tree);
LdrfResult LdrfGetCPTByName(LdrfHandle file, const char* name, uint16_t* index, LdrfHandle* tree,
                            void* r1, void* r2, void* r3, void* r4, void* r5);

/* Enumerations: a set is selected per open file; members are numbered from 1. */
LdrfResult LdrfSelectEnumSet(LdrfHandle file, int32_t set, void* r1, void* r2, void* r3, void* r4);
LdrfResult LdrfGetEnumMemberCount(LdrfHandle file, uint16_t* count);
LdrfResult LdrfGetEnumMember(LdrfHandle file, int32_t value, char* name, uint32_t* nameLength,
                             void* r1, void* r2);
LdrfResult LdrfGetEnumMemberByIndex(LdrfHandle file, uint16_t index, int32_t* value, char* name,
                                    uint32_t* nameLength, void* r1, void* r2);

/* Languages and strings */
LdrfResult LdrfGetLanguageKeyFromExtension(void* reserved, const char extension[50],
                                           uint32_t* key);
LdrfResult LdrfGetLanguageInfo(void* r1, void* r2, uint32_t key, void* r3, void* r4,
                               uint32_t* languageKey, void* r5, void* r6, void* r7);
LdrfResult LdrfStartStringService(uint32_t languageKey, const char* catalogFolder,
                                  LdrfHandle* service);
LdrfResult LdrfStringServiceRequest(LdrfHandle service, const uint8_t programId[8], uint8_t scope,
                                    uint32_t index, char* text, uint32_t* textLength);
LdrfResult LdrfStopStringService(LdrfHandle* service);

/* Type trees: a cursor over the nodes of one type in depth-first pre-order. */
LdrfResult LdrfScanTypeTree(LdrfHandle tree, uint16_t* rootSize, int32_t* peek);
LdrfResult LdrfReadTypeTreeNode(LdrfHandle tree, int32_t* kind, uint16_t* byteOffset,
                                uint16_t* size, char* name, uint32_t* nameLength,
                                uint8_t* nameScope, uint32_t* nameIndex, uint8_t* commentScope,
                                uint32_t* commentIndex, uint8_t* unitsScope, uint32_t* unitsIndex);
LdrfResult LdrfFindTypeTreeNode(LdrfHandle tree, int32_t mode, const char* name);
LdrfResult LdrfGetReferenceDetails(LdrfHandle tree, uint8_t* scope, uint32_t* typeIndex);
LdrfResult LdrfGetStructUnionDetails(LdrfHandle tree, uint16_t* memberCount);
LdrfResult LdrfGetArrayDetails(LdrfHandle tree, int32_t mode, uint16_t* elementCount);
LdrfResult LdrfGetBitfieldDetails(LdrfHandle tree, uint8_t* width, uint8_t* bitOffset,
                                  void* reserved, int32_t* minimum, int32_t* maximum,
                                  int16_t* multiplier, int16_t* exponent, int16_t* offset);
LdrfResult LdrfGetScalarDetails(LdrfHandle tree, int32_t* minimum, int32_t* maximum,
                                int16_t* multiplier, int16_t* exponent, int16_t* offset);
LdrfResult LdrfGetFloatDetails(LdrfHandle tree, float* minimum, float* maximum);
LdrfResult LdrfGetDoubleFloatDetails(LdrfHandle tree, double* minimum, double* maximum);
LdrfResult LdrfGetEnumDetails(LdrfHandle tree, void* reserved, int32_t* set, int32_t* minimum,
                              int32_t* maximum);
LdrfResult LdrfFreeTypeTree(LdrfHandle tree);

/* Diagnostics (not needed by the formatter): the last failure of this thread. */
LdrfResult LdrfLastErrorText(char* text, uint32_t* textLength);
/* Diagnostics: what the catalog left out when it was opened, one text per
 * file ("PATH: reason"), index 1 up; LDRF_NOT_FOUND past the last. */
LdrfResult LdrfCatalogGetSkipped(LdrfHandle catalog, uint16_t index, char* text, uint32_t* textLength);

#ifdef __cplusplus
}
#endif

#endif
