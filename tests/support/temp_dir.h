// A private temporary directory for the database files of one test.
#ifndef ZEL_TESTS_SUPPORT_TEMP_DIR_H
#define ZEL_TESTS_SUPPORT_TEMP_DIR_H

#include <string>

#include "writer/db_writer.h"

namespace zel::testing {

class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return m_path; }
    std::string file(const std::string& name) const { return m_path + "/" + name; }
    void write(const std::string& name, const writer::Bytes& bytes) const {
        writer::writeFile(file(name), bytes);
    }
    void remove(const std::string& name) const;

  private:
    std::string m_path;
};

}  // namespace zel::testing

#endif
