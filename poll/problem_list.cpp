#include "poll/problem_list.h"

#include "codec/counted.h"

void ProblemList::add(const QString &problem)
{
    if (told_->size() < Told)
        *told_ << problem;
    else
        ++untold_;
}

void ProblemList::finish()
{
    if (untold_ > 0)
        *told_ << QStringLiteral("… e mais %1").arg(counted(untold_, "erro", "erros"));
}
