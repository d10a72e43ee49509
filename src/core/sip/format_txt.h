// Text tables that complete the survey geometry of exported data: site
// coordinates, an elevation grid, electrode shifts, and a coordinate table
// with azimuths that no page loads.
//
// Lines end with LF or CR LF. Space-separated tables split a line into
// tokens at runs of spaces and tabs (no empty tokens, so an empty line has
// none); numbers there follow atoi/atof (text that is not a number gives 0),
// always with a dot as decimal separator whatever the process locale. A
// UTF-8 byte order mark in front of the first line is ignored.
//
// Reading parses into a fresh table that replaces the records only when the
// whole file matched: a line that does not match its format (or holds a NUL
// byte) stops the read with false, the reason names the line, and the table
// and its path stay as they were.
#pragma once

#include <cstdint>
#include <cstdio>
#include <istream>
#include <string>
#include <vector>

#include "core/base/reason.h"

class CFormatTxt {
public:
  virtual ~CFormatTxt() = default;

  virtual const char* GetExt() const { return "txt"; }
  virtual bool ReadFile(std::istream& in) = 0;
  // Writes the table in the form ReadFile accepts (numbers with enough
  // digits to read back the same doubles). Used by tools and tests.
  virtual bool WriteFile(FILE* fp) = 0;
  virtual void Clear() = 0;

  // Opens the file (false, table untouched, when it cannot be opened) and
  // returns ReadFile; m_path is set on success.
  bool Read(const std::string& path);
  // Writes through a temporary file renamed into place.
  bool Write(const std::string& path);

  const std::string& GetPath() const { return m_path; }
  // Why the last Read failed, in one line with the line number; empty after
  // a successful read.
  const std::string& GetError() const { return m_error; }
  // The same as a code with its arguments (line, field counts, system
  // error), for an interface that words it in its own language.
  const Reason& GetReason() const { return m_reason; }

  // Splits at every run of the delimiter characters; never yields an empty token.
  static std::vector<std::string> Tokenize(const std::string& line, const char* delims);
  // Next line without its LF or CR LF; false at the end of the input.
  static bool GetLine(std::istream& in, std::string* line);
  static int ToInt(const std::string& text);     // atoi
  static double ToDouble(const std::string& text); // atof in the C locale

protected:
  std::string m_path;
  std::string m_error;
  Reason m_reason;
};

// Header line, then "name line_no pos x y" per site.
class CFormatTxtSiteCoord : public CFormatTxt {
public:
  struct Item {
    std::string name;
    int32_t line_no = 0;
    double pos = 0.0;  // m along the line
    double x = 0.0;
    double y = 0.0;
  };

  bool ReadFile(std::istream& in) override;
  bool WriteFile(FILE* fp) override;
  void Clear() override { m_vt_item.clear(); }

  // First record (file order) on line_no with |record pos - pos| <= tol.
  // Without one: false, and out gets an empty name, line_no, pos, x = y = 0.
  bool Find(int line_no, double pos, double tol, Item* out) const;

  std::vector<Item> m_vt_item;
};

// "x y z" per point, no header.
class CFormatTxtElev : public CFormatTxt {
public:
  struct Item {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;  // elevation, m
  };

  bool ReadFile(std::istream& in) override;
  bool WriteFile(FILE* fp) override;
  void Clear() override { m_vt_item.clear(); }

  // z of the nearest point by |dx| + |dy| (summed in single precision); the
  // first point wins a tie; 0 for an empty table.
  float GetElev(double x, double y) const;

  std::vector<Item> m_vt_item;
};

// Header line, then "name,pole,dx,dy" per electrode: exactly four
// comma-separated fields, empty fields included (a line with five commas
// fails). Spaces are removed from the name; the other fields are trimmed.
// The pole field "A" or "B" marks the transmitter electrodes, anything else
// is an electrode number. Fields 2 to 4 count only when the whole trimmed
// field is a number (decimal integer, finite decimal floating point); any
// other text gives 0.
class CFormatTxtShifting : public CFormatTxt {
public:
  struct Item {
    std::string name;
    double dx = 0.0;
    double dy = 0.0;
    int32_t pole_no = 0;
    bool is_a = false;
    bool is_b = false;
  };

  bool ReadFile(std::istream& in) override;
  bool WriteFile(FILE* fp) override;
  void Clear() override { m_vt_item.clear(); }

  std::vector<Item> m_vt_item;
};

// Header line, then "name pos x y azimuth_deg" per point; the azimuth is
// kept in radians.
class CFormatTxtCoord : public CFormatTxt {
public:
  struct Item {
    std::string name;
    float pos = 0.0f;
    double x = 0.0;
    double y = 0.0;
    double azimuth = 0.0;  // rad
  };

  bool ReadFile(std::istream& in) override;
  bool WriteFile(FILE* fp) override;
  void Clear() override { m_vt_item.clear(); }

  // First record whose name starts text and whose pos is within 0.01 of pos;
  // out is left alone when there is none.
  bool Find(const char* text, float pos, Item* out) const;

  std::vector<Item> m_vt_item;
};
