// Program entry (being built).
int main() { return 0; }
