def_data
usr_data
run_data
