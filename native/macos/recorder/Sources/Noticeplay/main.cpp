#include "Noticeplay/NoticeplayMain.hpp"

int main(int argc, char** argv) {
    Noticeplay::NoticeplayMain::main(argc, argv);
}
