#pragma once
// One best-players entry, written out in a line.
#include <string>

#include "records/TRecorde.h"

namespace quillmont {

inline TRecorde Entry(const std::string& name, long double score, int missed, double date) {
  TRecorde e;
  e.Nome = name;
  e.Escore = TReal6::FromDouble(score);
  e.Perdidas = missed;
  e.Data = date;
  return e;
}

}  // namespace quillmont
