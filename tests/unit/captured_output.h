#pragma once

#include <iostream>
#include <streambuf>
#include <string>

// Stands in for standard output while it lives, and tells what has been
// written and what of it a flush has actually pushed out.
class CapturedOutput : private std::streambuf {
  public:
    CapturedOutput() : previous_(std::cout.rdbuf(this)) {}
    ~CapturedOutput() override { std::cout.rdbuf(previous_); }
    CapturedOutput(const CapturedOutput &) = delete;
    CapturedOutput &operator=(const CapturedOutput &) = delete;

    std::string written() const { return flushed_ + pending_; }
    const std::string &flushed() const { return flushed_; }

  private:
    int_type overflow(int_type ch) override {
        if (!traits_type::eq_int_type(ch, traits_type::eof())) {
            pending_ += traits_type::to_char_type(ch);
        }
        return traits_type::not_eof(ch);
    }
    int sync() override {
        flushed_ += pending_;
        pending_.clear();
        return 0;
    }

    std::streambuf *previous_;
    std::string flushed_;
    std::string pending_;
};
