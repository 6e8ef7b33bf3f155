#pragma once
// One type file of the catalog: opened through the resource library on first
// use and kept open until destroyed. Answers type counts, type trees by index
// or name, and enumeration members.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/ldrf_api.h"

namespace vornfmt {

// One type of a type file, as a listing names it.
struct TypeListing {
  bool isNetworkVariable = true;
  uint16_t index = 0;
  std::u16string name;  // the name its tree's root node gives; empty when unreadable
};

class CTypeFile {
 public:
  CTypeFile(const LdrfApi& library, std::u16string path, uint16_t catalogTag);
  CTypeFile(const CTypeFile&) = delete;
  CTypeFile& operator=(const CTypeFile&) = delete;
  virtual ~CTypeFile();

  bool Open();
  void Close();
  uint16_t TypesCount();
  LdrfResult GetTypeByIndex(bool isNetworkVariable, uint16_t index, LdrfHandle& tree);
  LdrfResult GetTypeByName(bool isNetworkVariable, std::u16string_view name, uint16_t& index, LdrfHandle& tree);

  // Every type of the file, network variables first, each table by index.
  std::vector<TypeListing> ListTypes();

  // A value no member has is named by the set's last member.
  std::u16string GetEnumMemberName(int32_t value, int32_t set);
  void GetEnumMembers(int32_t set, std::vector<std::u16string>& names);
  bool FindEnumValue(std::u16string_view name, int32_t set, int32_t& value);

  bool IsOpen() const { return open_; }
  LdrfHandle Handle() const { return handle_; }
  const std::u16string& Path() const { return path_; }
  uint16_t CatalogTag() const { return catalogTag_; }

 private:
  bool SelectSetAndCount(int32_t set, uint16_t& count);

  bool open_ = false;
  LdrfHandle handle_ = 0;
  std::u16string path_;
  uint16_t catalogTag_ = 0;
  const LdrfApi* library_;
};

}  // namespace vornfmt
