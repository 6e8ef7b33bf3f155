#pragma once
// The resource-file library as the core calls it: a table of its functions.
// The default table calls the library itself; tests replace single entries
// to script failures the real files cannot produce.
#include "ldrf/ldrf.h"

namespace vornfmt {

struct LdrfApi {
  decltype(&::LdrfOpenCatalog) LdrfOpenCatalog = ::LdrfOpenCatalog;
  decltype(&::LdrfGetCatalogInfo) LdrfGetCatalogInfo = ::LdrfGetCatalogInfo;
  decltype(&::LdrfCatalogGetFile) LdrfCatalogGetFile = ::LdrfCatalogGetFile;
  decltype(&::LdrfSearchCatalog) LdrfSearchCatalog = ::LdrfSearchCatalog;
  decltype(&::LdrfCloseCatalog) LdrfCloseCatalog = ::LdrfCloseCatalog;
  decltype(&::LdrfOpenFile) LdrfOpenFile = ::LdrfOpenFile;
  decltype(&::LdrfCloseFile) LdrfCloseFile = ::LdrfCloseFile;
  decltype(&::LdrfGetTypeFileInfo) LdrfGetTypeFileInfo = ::LdrfGetTypeFileInfo;
  decltype(&::LdrfGetNVT) LdrfGetNVT = ::LdrfGetNVT;
  decltype(&::LdrfGetCPT) LdrfGetCPT = ::LdrfGetCPT;
  decltype(&::LdrfGetNVTByName) LdrfGetNVTByName = ::LdrfGetNVTByName;
  decltype(&::LdrfGetCPTByName) LdrfGetCPTByName = ::LdrfGetCPTByName;
  decltype(&::LdrfSelectEnumSet) LdrfSelectEnumSet = ::LdrfSelectEnumSet;
  decltype(&::LdrfGetEnumMemberCount) LdrfGetEnumMemberCount = ::LdrfGetEnumMemberCount;
  decltype(&::LdrfGetEnumMember) LdrfGetEnumMember = ::LdrfGetEnumMember;
  decltype(&::LdrfGetEnumMemberByIndex) LdrfGetEnumMemberByIndex = ::LdrfGetEnumMemberByIndex;
  decltype(&::LdrfGetLanguageKeyFromExtension) LdrfGetLanguageKeyFromExtension = ::LdrfGetLanguageKeyFromExtension;
  decltype(&::LdrfGetLanguageInfo) LdrfGetLanguageInfo = ::LdrfGetLanguageInfo;
  decltype(&::LdrfStartStringService) LdrfStartStringService = ::LdrfStartStringService;
  decltype(&::LdrfStringServiceRequest) LdrfStringServiceRequest = ::LdrfStringServiceRequest;
  decltype(&::LdrfStopStringService) LdrfStopStringService = ::LdrfStopStringService;
  decltype(&::LdrfScanTypeTree) LdrfScanTypeTree = ::LdrfScanTypeTree;
  decltype(&::LdrfReadTypeTreeNode) LdrfReadTypeTreeNode = ::LdrfReadTypeTreeNode;
  decltype(&::LdrfFindTypeTreeNode) LdrfFindTypeTreeNode = ::LdrfFindTypeTreeNode;
  decltype(&::LdrfGetReferenceDetails) LdrfGetReferenceDetails = ::LdrfGetReferenceDetails;
  decltype(&::LdrfGetStructUnionDetails) LdrfGetStructUnionDetails = ::LdrfGetStructUnionDetails;
  decltype(&::LdrfGetArrayDetails) LdrfGetArrayDetails = ::LdrfGetArrayDetails;
  decltype(&::LdrfGetBitfieldDetails) LdrfGetBitfieldDetails = ::LdrfGetBitfieldDetails;
  decltype(&::LdrfGetScalarDetails) LdrfGetScalarDetails = ::LdrfGetScalarDetails;
  decltype(&::LdrfGetFloatDetails) LdrfGetFloatDetails = ::LdrfGetFloatDetails;
  decltype(&::LdrfGetDoubleFloatDetails) LdrfGetDoubleFloatDetails = ::LdrfGetDoubleFloatDetails;
  decltype(&::LdrfGetEnumDetails) LdrfGetEnumDetails = ::LdrfGetEnumDetails;
  decltype(&::LdrfFreeTypeTree) LdrfFreeTypeTree = ::LdrfFreeTypeTree;
  decltype(&::LdrfLastErrorText) LdrfLastErrorText = ::LdrfLastErrorText;
  decltype(&::LdrfCatalogGetSkipped) LdrfCatalogGetSkipped = ::LdrfCatalogGetSkipped;
};

// The table that calls the library itself.
const LdrfApi& NativeLdrf();

// True for the results the tree calls count as success.
inline bool TreeCallSucceeded(LdrfResult r) { return r == LDRF_OK || r == LDRF_MORE; }

}  // namespace vornfmt
